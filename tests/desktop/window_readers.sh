# What check_window_places.sh reads of the program's windows. Source it (bash); it needs
# $session (openbox, kwin or gnome).

# One line a window: frame x y width height, client area x y width height, closeable,
# minimised (1 or 0). Under KWin as KWin itself sees it, through its scripting.
describe_kwin() { # CAPTION
    local js=$XDG_RUNTIME_DIR/windows.js id
    cat >"$js" <<'JS'
for (const w of workspace.windowList()) {
    const f = w.frameGeometry, c = w.clientGeometry;
    console.log("korvane-window", [f.x, f.y, f.width, f.height, c.x, c.y, c.width, c.height,
        w.closeable ? 1 : 0, w.minimized ? 1 : 0].map(Math.round).join(" "), w.caption);
}
JS
    : >>"$KORVANE_SESSION_LOG"
    local before
    before=$(wc -l <"$KORVANE_SESSION_LOG")
    id=$(gdbus call --session --dest org.kde.KWin --object-path /Scripting \
        --method org.kde.kwin.Scripting.loadScript "$js" korvane-check | tr -dc '0-9')
    gdbus call --session --dest org.kde.KWin --object-path "/Scripting/Script$id" \
        --method org.kde.kwin.Script.run >/dev/null
    gdbus call --session --dest org.kde.KWin --object-path /Scripting \
        --method org.kde.kwin.Scripting.unloadScript korvane-check >/dev/null
    sleep 0.2 # the script's lines reach the log a moment after it has run
    tail -n +"$((before + 1))" "$KORVANE_SESSION_LOG" | grep -F -- "$1" |
        sed -n 's/.*korvane-window \([-0-9 ]*\) .*/\1/p' | head -n 1 || true
}
# Elsewhere from what the manager tells every X client. A window neither mapped nor
# minimised is not on the screen: no line.
x11_window() { # CAPTION [--onlyvisible]: the program's own window, not a frame's
    local id
    for id in $(xdotool search ${2:-} --name "$1" 2>/dev/null); do
        xprop -id "$id" WM_CLASS | grep -q '= "korvane"' && echo "$id" && return
    done
    return 1
}
describe_x11() { # CAPTION
    local id info extents hidden
    id=$(x11_window "$1" --onlyvisible) || id=$(x11_window "$1") || return 0
    hidden=$(xprop -id "$id" _NET_WM_STATE | grep -c _NET_WM_STATE_HIDDEN)
    info=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} /Map State: IsViewable/ {v=1}
        END {print x, y, w, h, v + 0}')
    read -r cx cy cw ch viewable <<<"$info"
    [ "$viewable$hidden" != 00 ] || return 0
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,)
    read -r left right top bottom <<<"${extents:-0 0 0 0}"
    echo "$((cx - left)) $((cy - top)) $((cw + left + right)) $((ch + top + bottom))" \
        "$cx $cy $cw $ch" \
        "$(xprop -id "$id" _NET_WM_ALLOWED_ACTIONS | grep -c _NET_WM_ACTION_CLOSE)" "$hidden"
}
describe() {
    if [ "$session" = kwin ]; then describe_kwin "$1"; else describe_x11 "$1"; fi
}
# Once the window is there and the manager has framed it: two readings alike.
settled() { # CAPTION
    korvane_wait_for 5 "$1 framed and still" same_twice "$1" >&2 || return 1
    describe "$1"
}
same_twice() {
    local first
    first=$(describe "$1")
    sleep 0.1
    [ -n "$first" ] && [ "$first" = "$(describe "$1")" ]
}
window() { # CAPTION: its id, once it is on the screen
    korvane_wait_for 10 "a window named $1 on $DISPLAY" x11_window "$1" --onlyvisible >&2 &&
        x11_window "$1" --onlyvisible
}
minimised() { [ "$(describe "$1" | cut -d' ' -f10)" = "$2" ]; } # CAPTION 1|0
absent() { ! x11_window "$1" --onlyvisible; } # hidden: not mapped (mutter keeps its state)
# A click at X Y in the main window, once the pointer is there: under XWayland a warp takes
# a moment, and a click sent at once lands where the pointer was.
press() { # X Y
    xdotool mousemove --window "$form1" "$1" "$2"
    korvane_wait_for 5 "the pointer at ($1, $2) in the main window" pointer_at "$1" "$2"
    xdotool click 1
}
pointer_at() { # X Y
    local X Y SCREEN WINDOW origin
    origin=$(xwininfo -id "$form1" |
        awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
    eval "$(xdotool getmouselocation --shell)"
    [ "$X $Y" = "$((${origin% *} + $1)) $((${origin#* } + $2))" ]
}
