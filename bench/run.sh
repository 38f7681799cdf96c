#!/usr/bin/env bash
# Runs every benchmark and prints one table.
#   bash bench/run.sh [--ticks N] [--cpu-seconds S] [--startup-runs R]
# Defaults: 120 ticks (--ticks 600 for a whole refresh window), twice 60 s of CPU time
# (windows in the background, then a calculator focused), 30 start-ups of each program.
# Takes about five minutes with the defaults.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/common.sh"

ticks=120
cpu_seconds=60
startup_runs=30
while [ $# -gt 0 ]; do
    case "$1" in
        --ticks) ticks=$2; shift 2 ;;
        --cpu-seconds) cpu_seconds=$2; shift 2 ;;
        --startup-runs) startup_runs=$2; shift 2 ;;
        *) echo "usage: bash bench/run.sh [--ticks N] [--cpu-seconds S] [--startup-runs R]" >&2; exit 2 ;;
    esac
done

korvane_install
korvane_build default >/dev/null
bin="$root/build/default/bench"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$root/build/default/tests/runtime"

echo "machine: $(nproc) cores, $(uname -m), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "running: clock core, start-up ($startup_runs runs each, offscreen and on Xvfb), $ticks real ticks, 2 × ${cpu_seconds} s of CPU time ..." >&2

clock=$("$bin/korvane_clock_bench")
startup=$("$bin/korvane_startup_bench" "$bin/korvane_bench_app" "$bin/korvane_baseline_app" "$startup_runs")
# The same on a real X server, where the windows are mapped and their frame icons sent.
startup_x=$(xvfb-run -a -s "-screen 0 1280x1024x24" \
    env QT_QPA_PLATFORM=xcb "$bin/korvane_startup_bench" "$bin/korvane_bench_app" \
    "$bin/korvane_baseline_app" "$startup_runs")
tick=$("$bin/korvane_bench_app" ticks "$ticks")
exit_line=$("$bin/korvane_bench_app" exit)
cpu=$("$bin/korvane_bench_app" cpu "$cpu_seconds" background)
cpu_focused=$("$bin/korvane_bench_app" cpu "$cpu_seconds" focused)

field() { awk -v key="$2" '{ for (i = 1; i < NF; ++i) if ($i == key) { print $(i + 1); exit } }' <<<"$1"; }
startup_line=$(grep startup_ms <<<"$startup")
rss_line=$(grep peak_rss_mib <<<"$startup")
startup_x_line=$(grep startup_ms <<<"$startup_x")
rss_x_line=$(grep peak_rss_mib <<<"$startup_x")
share() { awk -v used="$1" -v s="$cpu_seconds" 'BEGIN { printf "%.4f", 100 * used / s }'; }
cpu_used=$(awk '{ print $2 }' <<<"$cpu")
cpu_focused_used=$(awk '{ print $2 }' <<<"$cpu_focused")

printf '\n%-34s %-28s %s\n' "benchmark" "measured" "target"
printf '%-34s %-28s %s\n' "----------------------------------" "----------------------------" "----------------------"
printf '%-34s %-28s %s\n' "tick error, max |error|" "$(field "$tick" max_abs_ms) ms" "<= 2 ms"
printf '%-34s %-28s %s\n' "tick error, median" "$(field "$tick" median_ms) ms" "-"
printf '%-34s %-28s %s\n' "first tick after Start" "$(field "$tick" first_ms) ms" "1000 ms, never sooner"
printf '%-34s %-28s %s\n' "Exit to the end of the event loop" "$(field "$exit_line" exit_ms) ms" "at once"
printf '%-34s %-28s %s\n' "tick drift (last - first)" "$(field "$tick" drift_ms) ms over $(field "$tick" ticks) ticks" "no cumulative drift"
printf '%-34s %-28s %s\n' "start-up to first paint, median" "$(field "$startup_line" korvane) ms (baseline $(field "$startup_line" baseline))" "-"
printf '%-34s %-28s %s\n' "start-up ratio to baseline" "$(field "$startup_line" ratio)" "<= 1.10"
printf '%-34s %-28s %s\n' "peak RSS, median" "$(field "$rss_line" korvane) MiB (baseline $(field "$rss_line" baseline))" "-"
printf '%-34s %-28s %s\n' "peak RSS above baseline" "$(field "$rss_line" difference) MiB" "<= 2 MiB"
printf '%-34s %-28s %s\n' "Xvfb: start-up, median" "$(field "$startup_x_line" korvane) ms (baseline $(field "$startup_x_line" baseline))" "-"
printf '%-34s %-28s %s\n' "Xvfb: start-up ratio to baseline" "$(field "$startup_x_line" ratio)" "<= 1.05"
printf '%-34s %-28s %s\n' "Xvfb: peak RSS, median" "$(field "$rss_x_line" korvane) MiB (baseline $(field "$rss_x_line" baseline))" "-"
printf '%-34s %-28s %s\n' "Xvfb: peak RSS above baseline" "$(field "$rss_x_line" difference) MiB" "<= 2 MiB"
printf '%-34s %-28s %s\n' "CPU, running, calculators open" "$(share "$cpu_used") % of a core" "<= 0.1 %"
printf '%-34s %-28s %s\n' "  same, a calculator focused" "$(share "$cpu_focused_used") % of a core" "- (its caret blinks)"
printf '%-34s %-28s %s\n' "clock tick, median" "$(field "$clock" median) ns" "-"
printf '%-34s %-28s %s\n' "heap allocations per tick" "$(field "$clock" allocations_per_tick)" "1 (its string)"
