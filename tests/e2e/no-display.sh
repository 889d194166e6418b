#!/usr/bin/env bash
# Usage: no-display.sh PROGRAM
# Started where there is no graphical session, the program says so in one sentence on standard
# error and ends with status 1, instead of aborting in Qt. Two ways to have none: nothing names a
# display, and a display is named that no server serves.
set -euo pipefail
program=$1

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch XDG_RUNTIME_DIR=$scratch
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

# A display number with no server behind it: no lock file, no socket in the file system or in
# the abstract namespace.
n=900
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || grep -q "X11-unix/X$n\$" /proc/net/unix; do
    n=$((n + 1))
done
unserved=:$n

status=0
for display in "" "$unserved"; do
    rc=0
    (
        if [ -z "$display" ]; then unset DISPLAY; else export DISPLAY=$display; fi
        cd "$scratch" # where a core file would land
        exec timeout 20 "$program"
    ) >"$scratch/out" 2>"$scratch/err" || rc=$?
    said=$(grep -c 'needs a graphical session' "$scratch/err" || true)
    if [ "$rc" -ne 1 ] || [ "$said" -ne 1 ] || [ -s "$scratch/out" ]; then
        echo "no-display: DISPLAY='$display': exit status $rc, standard error:" >&2
        cat "$scratch/err" >&2
        status=1
    fi
    # Nothing but the sentence when nothing names a display.
    if [ -z "$display" ] && [ "$(wc -l <"$scratch/err")" -ne 1 ]; then
        echo "no-display: more than one line without a display:" >&2
        cat "$scratch/err" >&2
        status=1
    fi
done
exit $status
