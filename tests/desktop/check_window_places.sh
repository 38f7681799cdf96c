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

source "$(dirname "$script")/session.sh"
source "$(dirname "$script")/window_readers.sh"

if [ -z "${KORVANE_INSIDE:-}" ]; then
    case $session in
        openbox | kwin | gnome) run_in_session "$script" "$session" "$@"; exit ;;
        *) echo "unknown session: $session (openbox, kwin or gnome)"; exit 1 ;;
    esac
fi
start_manager "$session"

"${program[@]}" >/dev/null 2>&1 &
korvane=$!
trap 'kill $korvane 2>/dev/null || true; kill %1 2>/dev/null || true' EXIT
form1=$(window 'KorvaneV1.0.5')

near() { [ $((($1 - $2) * ($1 - $2))) -le 1 ]; }
covers() { # FRAME FRAME (x y w h each): whether the two overlap
    [ "$1" -lt $(($5 + $7)) ] && [ "$5" -lt $(($1 + $3)) ] &&
        [ "$2" -lt $(($6 + $8)) ] && [ "$6" -lt $(($2 + $4)) ]
}
main=$(settled KorvaneV1.0.5)
read -r m_fx m_fy m_fw m_fh m_cx m_cy _ _ m_close _ <<<"$main"
echo "Form1: client area at ($m_cx, $m_cy), frame ($m_fx, $m_fy) ${m_fw}x$m_fh, closeable $m_close"
in_place=false
near "$m_cx" 17 && near "$m_cy" 30 && in_place=true
[ "$session" = openbox ] && row "openbox leaves Form1's client area at its place (17, 30)" $in_place
if [ "$session" = openbox ]; then
    # Openbox keeps a close button on every frame, whatever the window asks: pressed, it
    # must leave the main window open.
    xdotool mousemove $((m_fx + m_fw - 11)) $((m_fy + 9)) click 1
    sleep 0.5 # a refusal shows nothing to wait for: the window is given time to go
    row "Form1 refuses the close button openbox draws" [ -n "$(x11_window KorvaneV1.0.5 --onlyvisible)" ]
    # The icon the manager draws in the frame: the program's own, at every size.
    sizes=$(xprop -len 1000000000 -id "$form1" _NET_WM_ICON |
        sed -n 's/.*Icon (\([0-9]*\) x \1).*/\1/p' | tr '\n' ' ')
    row "Form1's frame icon at 16 24 32 48 64 (has: $sizes)" [ "$sizes" = "16 24 32 48 64 " ]
else
    row "Form1 offers no close command" [ "$m_close" = 0 ]
fi

press 60 140 # 买东西计算器
buy=$(settled 买东西计算器)
read -r b_fx b_fy b_fw b_fh b_cx b_cy _ _ b_close _ <<<"$buy"
press 160 140 # 卖东西计算器
sell=$(settled 卖东西计算器)
read -r s_fx s_fy s_fw s_fh s_cx s_cy _ _ s_close _ <<<"$sell"
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

# Moved by the user, hidden and shown again: where the user put it.
xdotool windowmove "$(window 卖东西计算器)" $((s_fx + 40)) $((s_fy + 30))
moved=$(settled 卖东西计算器 | cut -d' ' -f5,6)
press 160 140
korvane_wait_for 5 "Form3 hidden" absent 卖东西计算器
press 160 140
row "Form3 shown again where the user moved it ($moved)" \
    eval '[ "$(settled 卖东西计算器 | cut -d" " -f5,6)" = "$moved" ] && [ "$moved" != "$s_cx $s_cy" ]'

# Minimised from its frame, back after one press.
xdotool windowminimize "$(window 买东西计算器)"
row "Form2 minimised" korvane_wait_for 5 "Form2 minimised" minimised 买东西计算器 1
press 60 140
row "a minimised Form2 is back after one press" \
    korvane_wait_for 5 "Form2 back" minimised 买东西计算器 0

if [ "$session" = kwin ]; then
    kill "$korvane"
    wait "$korvane" 2>/dev/null || true
    # The user's own platform, and Wayland where no X server answers: a window either way,
    # which KWin sees and the X server does not.
    for start in "env QT_QPA_PLATFORM=wayland" "env DISPLAY=:97"; do
        $start "${program[@]}" >/dev/null 2>&1 &
        korvane=$!
        row "with $start: a main window, on Wayland" korvane_wait_for 10 "a main window" \
            eval '[ -n "$(describe KorvaneV1.0.5)" ] && ! x11_window KorvaneV1.0.5'
        kill "$korvane"
        wait "$korvane" 2>/dev/null || true
    done
fi
korvane_finish "window places"
