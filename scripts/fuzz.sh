#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour sanitizers) and
# runs each for a bounded time on a scratch copy of its starting corpus.
#   bash scripts/fuzz.sh [SECONDS_EACH]     (default 60)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds=${1:-60}
korvane_install clang libclang-rt-dev
korvane_build fuzz >/dev/null

bin="$korvane_root/build/fuzz/tests/fuzz"
starting="$korvane_root/tests/fuzz/corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

run() {
    local target=$1 corpus=$2
    shift 2
    mkdir -p "$work/$corpus"
    echo "fuzzing $target for ${seconds} s"
    # A slower than linear reading of a long input runs into the timeout.
    (cd "$work" && "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 "$@" "$work/$corpus" "$starting/$corpus" 2>&1 |
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done|==|SUMMARY|.*ERROR)' || true)
    if ls "$work"/crash-* "$work"/timeout-* "$work"/leak-* "$work"/oom-* >/dev/null 2>&1; then
        echo "fuzz: $target found a failing input:" >&2
        ls "$work"/crash-* "$work"/timeout-* "$work"/leak-* "$work"/oom-* 2>/dev/null >&2
        return 1
    fi
}

run ReadNumberFuzz read_number -max_len=200000 -dict="$korvane_root/tests/fuzz/read_number.dict"
run FormatNumberFuzz format_number -max_len=8
echo "fuzz: no failing input"
