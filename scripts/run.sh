#!/usr/bin/env bash
# Builds Corvanel and starts it. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset default
# The program alone: the tests and benchmarks are built by scripts/test.sh.
cmake --build --preset default --target corvanel

exec build/default/ui/qt/corvanel "$@"
