#!/usr/bin/env bash
# Runs the Windows build's benchmarks under Wine in an Xvfb of their own and prints one table:
# the executable's size and DLL imports, start-up against a bare Win32 window with one Chinese
# label (interleaved runs, medians), and the keystroke figures with the 225-character result and
# with a large memo (16 Ki characters; LARGE_MEMO=N sets another size, see below).
# Usage: bash bench/run-windows.sh [BUILD_DIR]   (default build/windows, configured with the
# windows preset when missing). Only the program and the benchmark targets are built.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/windows}
runs=${STARTUP_RUNS:-15}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset windows -B "$build" >/dev/null
fi
cmake --build "$build" --target corvanel startup_baseline startup_bench keystroke_bench >/dev/null
build=$(realpath "$build")
program=$build/ui/win32/corvanel.exe
b=$build/bench/win32

session=$build/wine-bench
trap 'bash tests/win32/wine-session.sh cleanup "$session"' EXIT
bash tests/win32/wine-session.sh setup "$session" >/dev/null
eval "$(bash tests/win32/wine-session.sh env "$session")"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES HOME LANG DISPLAY
[ -z "${LOCPATH:-}" ] || export LOCPATH

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'); $(wine --version)"
echo "corvanel.exe: $(stat -c %s "$program") bytes; imports" \
    "$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\tDLL Name: //p' | sort | paste -sd ' ')"
echo
echo "| figure | baseline | Corvanel | ratio or spread |"
echo "|---|---|---|---|"
wine "$b/startup_bench.exe" "Wine in Xvfb" "$runs" "$(winepath -w "$b/startup_baseline.exe")" \
    "$(winepath -w "$program")"
# The large memo: 1 MiB as on Linux is out of reach under Wine 8, whose multi-line edit control
# takes about 19 s to paste 16 Ki characters of one unbroken paragraph (word wrap) and grows
# faster than linearly; LARGE_MEMO sets another size.
wine "$b/keystroke_bench.exe" "$(winepath -w "$program")" "${LARGE_MEMO:-16384}" 600 |
    sed 's/ | \([0-9.]* ms\) | p90/ | - | \1 | p90/'
