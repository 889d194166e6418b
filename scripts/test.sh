#!/usr/bin/env bash
# Builds Corvanel and runs every test. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset default
cmake --build --preset default
ctest --preset default
