#!/usr/bin/env bash
# Benchmarks: velmora-cli against the floor (raw block copies, one file per
# record) on generated stores; then the other benchmark scripts in bench/.
# Usage: bench/run.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
bin=$build/bin
work=$build/bench-data
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"

seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
# timed BEST_VAR COMMAND...: runs the command and keeps the least time in BEST_VAR.
timed() {
    local -n best=$1
    shift
    local start
    start=$(seconds)
    "$@" >/dev/null 2>&1 || { echo "bench: $* failed" >&2; exit 1; }
    best=$(least "$best" "$(elapsed "$start" "$(seconds)")")
}

# Each timed run writes into a folder of its own that nothing wrote before:
# removing or overwriting earlier output right before a run measures the
# disk's bookkeeping, not the converter. Floor and converter take turns.
for sizes in "20000 4096" "2000 262144"; do
    set -- $sizes
    count=$1 size=$2
    store="$work/store-$count-$size"
    [ -f "$store/Inbox.imh" ] || "$bin/make-bench-store" "$store" "$count" "$size"
    cat "$store/Inbox.imm" >/dev/null # warm the page cache
    rm -rf "$work/out"
    mkdir -p "$work/out"
    sync
    best_floor="" best_cli=""
    for run in 1 2 3; do
        mkdir -p "$work/out/floor-$run"
        timed best_floor "$bin/bench-floor" "$store/Inbox.imh" "$store/Inbox.imm" "$work/out/floor-$run"
        timed best_cli "$bin/velmora-cli" --store "$store" "$work/out/cli-$run"
    done
    rm -rf "$work/out"
    ratio=$(awk -v c="$best_cli" -v f="$best_floor" 'BEGIN { printf "%.2f", c / f }')
    printf 'store %6d messages x %6d bytes: velmora-cli %7.3f s, floor %7.3f s, ratio %s (best of 3)\n' \
        "$count" "$size" "$best_cli" "$best_floor" "$ratio"
done

# Export through the window (offscreen, the prompt answered by the program)
# against velmora-cli on the 4 KiB store.
if [ -x "$bin/velmora-gui-bench" ]; then
    store="$work/store-20000-4096"
    rm -rf "$work/out"
    mkdir -p "$work/out"
    sync
    best_gui="" best_cli=""
    for run in 1 2 3; do
        timed best_gui env QT_QPA_PLATFORM=offscreen "$bin/velmora-gui-bench" --store "$store" "$work/out/gui-$run"
        timed best_cli "$bin/velmora-cli" --store "$store" "$work/out/cli-$run"
    done
    rm -rf "$work/out"
    ratio=$(awk -v g="$best_gui" -v c="$best_cli" 'BEGIN { printf "%.2f", g / c }')
    printf 'window export, 20000 messages: window %7.3f s, velmora-cli %7.3f s, ratio %s (best of 3)\n' \
        "$best_gui" "$best_cli" "$ratio"
fi

for script in "$here"/run_*.sh; do
    [ -e "$script" ] && bash "$script" "$build"
done
exit 0
