#!/usr/bin/env bash
# Builds Corvanel and runs every test. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset default
cmake --build --preset default
ctest --preset default

# The Debian package, installed on this machine and started in Xvfb; removed again afterwards.
bash scripts/package-test.sh build/default

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer: any report aborts the
# test that raised it.
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

# The core under libFuzzer for a bounded time, starting from the seeds in fuzz/corpus. Inputs it
# finds go to a scratch folder; a failing one is written to build/fuzz/ and the run fails.
cmake --preset fuzz
cmake --build --preset fuzz
fuzz_scratch=$(mktemp -d)
if ! build/fuzz/fuzz/core_fuzz -max_total_time=30 -max_len=4096 -artifact_prefix=build/fuzz/ \
    "$fuzz_scratch" fuzz/corpus >build/fuzz/core_fuzz.log 2>&1; then
    tail -n 40 build/fuzz/core_fuzz.log >&2
    echo "test.sh: the fuzzer failed; full log in build/fuzz/core_fuzz.log" >&2
    exit 1
fi
grep -E '^Done [0-9]+ runs' build/fuzz/core_fuzz.log
rm -rf "$fuzz_scratch"
