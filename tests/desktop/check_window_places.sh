#!/usr/bin/env bash
# Starts Korvane under a window manager (openbox) on a virtual display, opens both
# calculators as a user would, and checks that each window's client area stands at its
# laid-out place (±1 px), whatever title bar the manager draws, and that the frame carries
# the program's icon at every size a frame or a switcher uses.
#   check_window_places.sh PROGRAM [ARGUMENTS, which the program must ignore]
# Places at 96 DPI: Form1 (255, 450) twips, Form2 (255, 3645), Form3 (5055, 3645).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
korvane_under_xvfb "$@"
program=("$@")
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR
openbox >/dev/null 2>&1 &
manager=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
"${program[@]}" >/dev/null 2>&1 &
korvane=$!
trap 'kill $korvane $manager 2>/dev/null || true' EXIT

window() { timeout 10 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'; }

near() { [ $((($1 - $2) * ($1 - $2))) -le 1 ]; }
failed=0
check() { # NAME WINDOW X Y
    local place x y
    for _ in $(seq 50); do # until the manager has framed it
        place=$(origin "$2"); x=${place% *}; y=${place#* }
        near "$x" "$3" && near "$y" "$4" && break
        sleep 0.1
    done
    if near "$x" "$3" && near "$y" "$4"; then
        echo "ok: $1's client area at ($x, $y)"
    else
        echo "FAIL: $1's client area at ($x, $y), laid out at ($3, $4)"
        failed=1
    fi
}

form1=$(window 'KorvaneV1.0.5')
check Form1 "$form1" 17 30
# The icon the manager draws in the frame: the program's own, at every size.
sizes=$(xprop -len 1000000000 -id "$form1" _NET_WM_ICON | sed -n 's/.*Icon (\([0-9]*\) x \1).*/\1/p' | tr '\n' ' ')
if [ "$sizes" = "16 24 32 48 64 " ]; then
    echo "ok: Form1's frame icon at $sizes"
else
    echo "FAIL: Form1's frame icon at $sizes"
    failed=1
fi
xdotool mousemove --window "$form1" 60 140 click 1 # 买东西计算器
check Form2 "$(window '买东西计算器')" 17 243
xdotool mousemove --window "$form1" 160 140 click 1 # 卖东西计算器
check Form3 "$(window '卖东西计算器')" 337 243
exit $failed
