# The desktop session that check_window_places.sh runs in: starting it around the check,
# starting its window manager inside, and ending everything it started. Source it (bash).

# Ends a Wayland session's leftovers: what it started outlives it (services that its D-Bus
# activated, such as the desktop portals), the document portal mounts a FUSE file system in
# its runtime folder, and XWayland leaves its display's lock where it was killed. Every
# process of the session, and only those, has the session's runtime folder in its
# environment. True when nothing is left.
session_processes() { # RUNTIME_DIR
    grep -lsaxzF "XDG_RUNTIME_DIR=$1" /proc/[0-9]*/environ | cut -d/ -f3 || true
}
no_session_processes() { [ -z "$(session_processes "$1")" ]; }
x_locks() { ls /tmp/.X*-lock /tmp/.X11-unix/X* 2>/dev/null || true; }
end_session() { # RUNTIME_DIR X_LOCKS_BEFORE
    local run=$1 signal point lock pid left
    echo "session: ending $(session_processes "$run" | wc -l) processes;" \
        "mounted in its folder: $(grep -o " $run/[^ ]*" /proc/self/mounts | tr -d '\n')" >&2
    for signal in TERM KILL; do
        no_session_processes "$run" && break
        kill -s "$signal" $(session_processes "$run") 2>/dev/null || true
        korvane_poll 5 no_session_processes "$run" || true # then the next signal
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
            korvane_poll 5 eval "! kill -0 $pid" || kill -KILL "$pid" 2>/dev/null || true
        fi
        rm -f "$lock" "/tmp/.X11-unix/X${lock//[^0-9]/}"
    done
    grep -q " $run/" /proc/self/mounts || rm -rf "$run"
    left="$(session_processes "$run" | tr '\n' ' ')$(grep -o " $run/[^ ]*" /proc/self/mounts)"
    left+="$(comm -13 <(echo "$2") <(x_locks) | tr '\n' ' ')$([ -e "$run" ] && echo "$run")"
    echo "${left:-nothing}"
    [ -z "$left" ]
}

# Runs SCRIPT SESSION ARGUMENTS in the session, once, with KORVANE_INSIDE set; its status is
# the check's, and whether the session left anything behind.
run_in_session() { # SCRIPT SESSION ARGUMENTS...
    local script=$1 session=$2 status=0 left
    shift 2
    export KORVANE_INSIDE=1
    if [ "$session" = openbox ]; then
        korvane_on_display 1280x800x24 bash "$script" "$session" "$@"
        return
    fi
    mkdir -p -m 1777 /tmp/.X11-unix 2>/dev/null || true
    # Global: the trap reads them once this function has returned.
    run=$(mktemp -d) locks=$(x_locks)
    trap 'end_session "$run" "$locks" >/dev/null 2>&1 || true' EXIT
    # Only the session's processes carry its runtime folder; its files go there too.
    local in_session=(env XDG_RUNTIME_DIR="$run" KORVANE_SESSION_LOG="$run/session.log"
        XDG_CONFIG_HOME="$run/config" XDG_CACHE_HOME="$run/cache"
        XDG_DATA_HOME="$run/data" XDG_STATE_HOME="$run/state")
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
    return "$status"
}

# Inside the session: the window manager, up and managing the screen before the program
# starts, as on a user's desktop. Ended when the check ends.
start_manager() { # SESSION
    case $1 in
        openbox)
            openbox >/dev/null 2>&1 &
            trap 'kill $! 2>/dev/null || true' EXIT
            korvane_wait_for 10 "openbox to manage the screen" \
                eval "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ;;
        gnome)
            gnome-shell --headless --wayland --virtual-monitor 1600x1000 \
                --wayland-display korvane-gnome >"$KORVANE_SESSION_LOG" 2>&1 &
            trap 'kill $! 2>/dev/null || true' EXIT
            korvane_wait_for 30 "GNOME Shell's Wayland socket and XWayland display" \
                eval '[ -S "$XDG_RUNTIME_DIR/korvane-gnome" ] && gnome_display | grep -q .'
            DISPLAY=$(gnome_display) WAYLAND_DISPLAY=korvane-gnome
            XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* | head -n 1)
            export DISPLAY WAYLAND_DISPLAY XAUTHORITY
            # A user's programs start once the shell is up: its top bar holds its place.
            korvane_wait_for 10 "GNOME Shell's top bar in the work area" \
                eval "xprop -root _NET_WORKAREA | grep -q '= 0, [1-9]'" ;;
        kwin)
            # KWin's session loses the status: the result goes to a file too.
            exec > >(tee "$XDG_RUNTIME_DIR/result") 2>&1 ;;
    esac
}
gnome_display() {
    sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$KORVANE_SESSION_LOG" | head -n 1
}
