#!/usr/bin/env bash
# Starts Korvane in a desktop session as a user would, opens both calculators from the
# main window, and checks what the user sees of the three windows:
# - where the manager leaves the main window at its laid-out place, every window's client
#   area stands at its own (±1 px); where the manager pushes it (a top bar, a title bar too
#   high for the screen's edge), the calculators open side by side below its frame, under
#   its left edge, the sell one 320 px right of the buy one; no frame covers another;
# - the main window offers no close command, the calculators do (openbox draws one on
#   every frame: there, the main window refuses it);
# - a minimised calculator is back after one press of its button, and one that the user
#   moved is shown again where the user put it;
# - under openbox, the frame carries the program's icon at every size a frame or a switcher
#   uses; under KWin, a platform the user chose is honoured, and where no X server can be
#   reached the program still opens, on Wayland.
#   check_window_places.sh SESSION PROGRAM [ARGUMENTS, which the program must ignore]
# SESSION: openbox (on Xvfb), kwin (kwin_wayland --virtual) or gnome (gnome-shell
# --headless), the last two Wayland sessions whose X server is XWayland.
# Places at 96 DPI: Form1 (255, 450) twips, Form2 (255, 3645), Form3 (5055, 3645).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
session=$1
shift
program=("$@")
script=$(realpath "${BASH_SOURCE[0]}")
unset QT_SCALE_FACTOR QT_QPA_PLATFORM

# Ends a Wayland session's leftovers: what it started outlives it (services that its D-Bus
# activated, such as the desktop portals), the document portal mounts a FUSE file system in
# its runtime folder, and XWayland leaves its display's lock where it was killed. Every
# process of the session, and only those, has the session's runtime folder in its
# environment. True when nothing is left.
session_processes() { # RUNTIME_DIR
    grep -lsaxzF "XDG_RUNTIME_DIR=$1" /proc/[0-9]*/environ | cut -d/ -f3 || true
}
x_locks() { ls /tmp/.X*-lock /tmp/.X11-unix/X* 2>/dev/null || true; }
end_session() { # RUNTIME_DIR X_LOCKS_BEFORE
    local run=$1 signal point lock pid left
    echo "session: ending $(session_processes "$run" | wc -l) processes;" \
        "mounted in its folder: $(grep -o " $run/[^ ]*" /proc/self/mounts | tr -d '\n')" >&2
    for signal in TERM KILL; do
        [ -n "$(session_processes "$run")" ] || break
        kill -s "$signal" $(session_processes "$run") 2>/dev/null || true
        for _ in $(seq 50); do
            [ -z "$(session_processes "$run")" ] && break
            sleep 0.1
        done
    done
    awk -v run="$run/" 'index($2, run) == 1 { print $2 }' /proc/self/mounts | sort -r |
        while read -r point; do
            umount "$point" 2>/dev/null || fusermount3 -u "$point" 2>/dev/null ||
                umount -l "$point" 2>/dev/null || true
        done
    # XWayland runs without the session's environment: it is found by its display's lock.
    for lock in $(comm -13 <(echo "$2") <(x_locks) | grep -- '-lock$'); do
        pid=$(tr -dc 0-9 <"$lock")
        if grep -qa Xwayland "/proc/$pid/cmdline" 2>/dev/null; then
            kill "$pid"
            for _ in $(seq 50); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
            kill -KILL "$pid" 2>/dev/null || true
        fi
        rm -f "$lock" "/tmp/.X11-unix/X${lock//[^0-9]/}"
    done
    grep -q " $run/" /proc/self/mounts || rm -rf "$run"
    left="$(session_processes "$run" | tr '\n' ' ')$(grep -o " $run/[^ ]*" /proc/self/mounts)"
    left+="$(comm -13 <(echo "$2") <(x_locks) | tr '\n' ' ')$([ -e "$run" ] && echo "$run")"
    echo "${left:-nothing}"
    [ -z "$left" ]
}

# The session, started around this script, which runs again inside it with KORVANE_INSIDE.
if [ -z "${KORVANE_INSIDE:-}" ]; then
    export KORVANE_INSIDE=1
    case $session in
        openbox)
            exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$script" "$session" "$@" ;;
        kwin | gnome)
            mkdir -p -m 1777 /tmp/.X11-unix 2>/dev/null || true
            run=$(mktemp -d) locks=$(x_locks)
            trap 'end_session "$run" "$locks" >/dev/null 2>&1 || true' EXIT
            # Only the session's processes carry its runtime folder; its files go there too.
            in_session=(env XDG_RUNTIME_DIR="$run" KORVANE_SESSION_LOG="$run/session.log"
                XDG_CONFIG_HOME="$run/config" XDG_CACHE_HOME="$run/cache"
                XDG_DATA_HOME="$run/data" XDG_STATE_HOME="$run/state") ;;
        *)
            echo "unknown session: $session (openbox, kwin or gnome)"
            exit 1 ;;
    esac
    status=0
    case $session in
        kwin)
            "${in_session[@]}" dbus-run-session -- kwin_wayland --virtual --xwayland \
                --width 1600 --height 1000 --socket korvane-kwin --exit-with-session \
                "bash $script $session ${*@Q}" >"$run/session.log" 2>&1 || true
            # The session's own status is lost; the script inside leaves its result.
            cat "$run/result" 2>/dev/null || true
            grep -q '^window places: [0-9]* passed, 0 failed$' "$run/result" 2>/dev/null ||
                { tail -n 20 "$run/session.log"; status=1; } ;;
        gnome)
            # The shell needs a system bus; a private one will do.
            "${in_session[@]}" dbus-daemon --session --nofork \
                --address="unix:path=$run/system-bus" 2>/dev/null &
            "${in_session[@]}" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$run/system-bus" \
                dbus-run-session -- bash "$script" "$session" "$@" || status=1 ;;
    esac
    if left=$(end_session "$run" "$locks"); then
        echo "ok: the session left no process, mount or file behind"
    else
        echo "FAIL: the session left no process, mount or file behind (left: $left)"
        status=1
    fi
    exit "$status"
fi

# Inside the session: what the user's desktop gives a program, and the manager's own view.
case $session in
    openbox)
        openbox >/dev/null 2>&1 &
        trap 'kill $! 2>/dev/null || true' EXIT
        for _ in $(seq 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done ;;
    gnome)
        gnome-shell --headless --wayland --virtual-monitor 1600x1000 \
            --wayland-display korvane-gnome >"$KORVANE_SESSION_LOG" 2>&1 &
        trap 'kill $! 2>/dev/null || true' EXIT
        for _ in $(seq 300); do
            display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$KORVANE_SESSION_LOG")
            [ -n "$display" ] && [ -S "$XDG_RUNTIME_DIR/korvane-gnome" ] && break
            sleep 0.1
        done
        export WAYLAND_DISPLAY=korvane-gnome DISPLAY=$display
        XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* | head -n 1)
        export XAUTHORITY
        # A user's programs start once the shell is up: its top bar holds its place.
        for _ in $(seq 100); do
            xprop -root _NET_WORKAREA 2>/dev/null | grep -q '= 0, [1-9]' && break
            sleep 0.1
        done ;;
esac
# KWin's session loses the status: the result goes to a file too.
[ "$session" = kwin ] && exec > >(tee "$XDG_RUNTIME_DIR/result") 2>&1

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
    sleep 0.2
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
}
describe_x11() { # CAPTION
    local id info extents hidden
    id=$(x11_window "$1" --onlyvisible)
    [ -n "$id" ] || id=$(x11_window "$1")
    [ -n "$id" ] || return 0
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
# Until the window is there and the manager has framed it, up to five seconds.
settled() { # CAPTION
    local now last=
    for _ in $(seq 50); do
        now=$(describe "$1")
        [ -n "$now" ] && [ "$now" = "$last" ] && break
        last=$now
        sleep 0.1
    done
    echo "$now"
}
window() { # CAPTION: once it is on the screen, up to ten seconds
    for _ in $(seq 100); do
        x11_window "$1" --onlyvisible | grep . && return
        sleep 0.1
    done
}
press() { xdotool mousemove --window "$form1" "$1" "$2" click 1; } # X Y in the main window

"${program[@]}" >/dev/null 2>&1 &
korvane=$!
trap 'kill $korvane 2>/dev/null || true; kill %1 2>/dev/null || true' EXIT
form1=$(window 'KorvaneV1.0.5')
if [ -z "$form1" ]; then
    row "a main window on the X server ($DISPLAY)" false
    korvane_finish "window places"
    exit 1
fi

near() { [ $((($1 - $2) * ($1 - $2))) -le 1 ]; }
covers() { # FRAME FRAME (x y w h each): whether the two overlap
    [ "$1" -lt $(($5 + $7)) ] && [ "$5" -lt $(($1 + $3)) ] &&
        [ "$2" -lt $(($6 + $8)) ] && [ "$6" -lt $(($2 + $4)) ]
}
read -r m_fx m_fy m_fw m_fh m_cx m_cy _ _ m_close _ <<<"$(settled KorvaneV1.0.5)"
echo "Form1: client area at ($m_cx, $m_cy), frame ($m_fx, $m_fy) ${m_fw}x$m_fh, closeable $m_close"
in_place=false
near "$m_cx" 17 && near "$m_cy" 30 && in_place=true
[ "$session" = openbox ] && row "openbox leaves Form1's client area at its place (17, 30)" $in_place
if [ "$session" = openbox ]; then
    # Openbox keeps a close button on every frame, whatever the window asks: pressed, it
    # must leave the main window open.
    xdotool mousemove $((m_fx + m_fw - 11)) $((m_fy + 9)) click 1
    sleep 0.5
    row "Form1 refuses the close button openbox draws" [ -n "$(x11_window KorvaneV1.0.5 --onlyvisible)" ]
    # The icon the manager draws in the frame: the program's own, at every size.
    sizes=$(xprop -len 1000000000 -id "$form1" _NET_WM_ICON |
        sed -n 's/.*Icon (\([0-9]*\) x \1).*/\1/p' | tr '\n' ' ')
    row "Form1's frame icon at 16 24 32 48 64 (has: $sizes)" [ "$sizes" = "16 24 32 48 64 " ]
else
    row "Form1 offers no close command" [ "$m_close" = 0 ]
fi

press 60 140 # 买东西计算器
read -r b_fx b_fy b_fw b_fh b_cx b_cy _ _ b_close _ <<<"$(settled 买东西计算器)"
press 160 140 # 卖东西计算器
read -r s_fx s_fy s_fw s_fh s_cx s_cy _ _ s_close _ <<<"$(settled 卖东西计算器)"
echo "Form2: client area at ($b_cx, $b_cy), frame ($b_fx, $b_fy) ${b_fw}x$b_fh, closeable $b_close"
echo "Form3: client area at ($s_cx, $s_cy), frame ($s_fx, $s_fy) ${s_fw}x$s_fh, closeable $s_close"
if $in_place; then
    row "Form2's client area at its place (17, 243)" eval 'near $b_cx 17 && near $b_cy 243'
    row "Form3's client area at its place (337, 243)" eval 'near $s_cx 337 && near $s_cy 243'
else
    row "Form2 under Form1's left edge" near "$b_cx" "$m_cx"
    row "Form2's frame below Form1's" [ "$b_fy" -ge $((m_fy + m_fh)) ]
    row "Form3 320 px right of Form2, level with it" eval 'near $s_cx $((b_cx + 320)) && near $s_cy $b_cy'
fi
row "no frame covers another" eval '! covers $m_fx $m_fy $m_fw $m_fh $b_fx $b_fy $b_fw $b_fh &&
    ! covers $m_fx $m_fy $m_fw $m_fh $s_fx $s_fy $s_fw $s_fh &&
    ! covers $b_fx $b_fy $b_fw $b_fh $s_fx $s_fy $s_fw $s_fh'
row "the calculators offer their close command" [ "$b_close$s_close" = 11 ]

# Minimised from its frame, back after one press.
xdotool windowminimize "$(window 买东西计算器)"
for _ in $(seq 50); do
    [ "$(describe 买东西计算器 | cut -d' ' -f10)" = 1 ] && break
    sleep 0.1
done
row "Form2 minimised" [ "$(describe 买东西计算器 | cut -d' ' -f10)" = 1 ]
press 60 140
sleep 1
row "a minimised Form2 is back after one press" [ "$(describe 买东西计算器 | cut -d' ' -f10)" = 0 ]

# Moved by the user, hidden and shown again: where the user put it.
sell=$(window 卖东西计算器)
xdotool windowmove "$sell" $((s_fx + 40)) $((s_fy + 30))
moved=$(settled 卖东西计算器 | cut -d' ' -f5,6)
press 160 140
sleep 0.5
press 160 140
row "Form3 shown again where the user moved it ($moved)" \
    eval '[ "$(settled 卖东西计算器 | cut -d" " -f5,6)" = "$moved" ] && [ "$moved" != "$s_cx $s_cy" ]'

if [ "$session" = kwin ]; then
    kill "$korvane"
    wait "$korvane" 2>/dev/null || true
    # The user's own platform, and Wayland where no X server answers: a window either way,
    # which KWin sees and the X server does not.
    for start in "env QT_QPA_PLATFORM=wayland" "env DISPLAY=:97"; do
        $start "${program[@]}" >/dev/null 2>&1 &
        korvane=$!
        main=
        for _ in $(seq 50); do
            main=$(describe KorvaneV1.0.5)
            [ -n "$main" ] && break
            sleep 0.2
        done
        row "with $start: a main window, on Wayland" \
            eval '[ -n "$main" ] && [ -z "$(x11_window KorvaneV1.0.5)" ]'
        kill "$korvane"
        wait "$korvane" 2>/dev/null || true
    done
fi
korvane_finish "window places"
