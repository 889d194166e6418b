#!/usr/bin/env bash
# Builds Corvanel and runs every test. Installs missing Debian packages first.
#
# Four builds: the ordinary one (build/default), the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (build/sanitize; any report fails the test that raised it), the
# core under libFuzzer (build/fuzz), and the Windows program cross-compiled with mingw-w64
# (build/windows), whose tests run under Wine in an Xvfb of their own. The ordinary tests run
# last, so the run ends with their summary.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

for preset in default sanitize fuzz windows; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done

# The core under libFuzzer for a bounded time, starting from the seeds in fuzz/corpus. Inputs it
# finds go to a scratch folder; a failing one is written to build/fuzz/ and the run fails.
fuzz_scratch=$(mktemp -d)
trap 'rm -rf "$fuzz_scratch"' EXIT
if ! build/fuzz/fuzz/core_fuzz -max_total_time=30 -max_len=4096 -artifact_prefix=build/fuzz/ \
    "$fuzz_scratch" fuzz/corpus >build/fuzz/core_fuzz.log 2>&1; then
    tail -n 40 build/fuzz/core_fuzz.log >&2
    echo "test.sh: the fuzzer failed; full log in build/fuzz/core_fuzz.log" >&2
    exit 1
fi
grep -E '^Done [0-9]+ runs' build/fuzz/core_fuzz.log

# The Debian package, installed on this machine and started in Xvfb; removed again afterwards.
bash scripts/package-test.sh build/default
# The Windows installer and zip: installed, started and uninstalled under Wine in a prefix and an
# Xvfb of their own.
bash scripts/package-test-windows.sh build/windows

ctest --preset windows
ctest --preset sanitize
ctest --preset default
