#!/usr/bin/env bash
# Runs every benchmark and prints one table: start-up time and peak memory against a bare Qt
# window (offscreen and under Xvfb), the keystroke figure, and the core's per-call times.
# Usage: bash bench/run-all.sh [BUILD_DIR]   (default build/default, configured with the
# default preset when missing). Only the benchmark targets are built.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
runs=${STARTUP_RUNS:-15}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset default -B "$build" >/dev/null
fi
cmake --build "$build" --target core_bench startup_bench startup_baseline startup_corvanel \
    keystroke_bench >/dev/null
b="$build/bench"

# Qt notes a missing XDG_RUNTIME_DIR on every start; give the programs one of their own.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
echo
echo "| figure | baseline | Corvanel | ratio or spread | target |"
echo "|---|---|---|---|---|"
QT_QPA_PLATFORM=offscreen "$b/startup_bench" offscreen "$runs" "$b/startup_baseline" \
    "$b/startup_corvanel"
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp" \
    env QT_QPA_PLATFORM=xcb "$b/startup_bench" Xvfb "$runs" "$b/startup_baseline" \
    "$b/startup_corvanel"
"$b/keystroke_bench"
"$b/core_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 ~ /_median"$/ {
        name = $1; gsub(/"|_median/, "", name)
        printf "| core %s, per call | - | %.1f %s | median of 5 | - |\n", name, $3, $5 }'
