#!/usr/bin/env bash
# Builds Corvanel and starts it. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset default
cmake --build --preset default

program=build/default/ui/corvanel
if [ ! -x "$program" ]; then
    echo "run: built the core and its tests; there is no window to start yet." >&2
    exit 0
fi
exec "$program" "$@"
