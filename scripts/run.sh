#!/usr/bin/env bash
# Builds Corvanel and starts it. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset default
cmake --build --preset default

exec build/default/ui/qt/corvanel "$@"
