#!/usr/bin/env bash
# Takes docs/screenshot.png: the window in a virtual X server after the reduction for 37, with the
# new draw 45 typed, its verdict shown and its entry marked in the list.
#   bash scripts/screenshot.sh [program]    (default: build/default/ui/qt/corvanel, built if missing)
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build/default/ui/qt/corvanel}
if [ -z "${CORVANEL_SCREENSHOT_INNER:-}" ]; then
    if [ ! -x "$program" ]; then
        bash scripts/install-deps.sh
        cmake --preset default
        cmake --build --preset default --target corvanel
    fi
    exec env CORVANEL_SCREENSHOT_INNER=1 \
        xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program"
fi

out=docs/screenshot.png
mkdir -p "$(dirname "$out")"

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Corvanel$' | head -n 1)
if [ -z "$wid" ]; then
    echo "screenshot: the window did not appear" >&2
    exit 1
fi
xdotool windowfocus --sync "$wid"

# The window's place on the screen; without a window manager it has no frame.
eval "$(xwininfo -id "$wid" | awk '
    /Absolute upper-left X/ { print "wx=" $NF }
    /Absolute upper-left Y/ { print "wy=" $NF }
    /Width:/ { print "ww=" $NF }
    /Height:/ { print "wh=" $NF }')"

# A fingerprint of one rectangle of the window (client coordinates).
region() {
    import -window root -crop "$3x$4+$((wx + $1))+$((wy + $2))" +repage -depth 8 rgb:- | md5sum
}

# Waits until the rectangle differs from the fingerprint $1 and then holds still, 10 s at most.
# The text cursor blinks only in the entry, so the rectangles watched leave it out.
wait_for_change() {
    local before=$1 last now
    shift
    last=$before
    for _ in $(seq 100); do
        sleep 0.1
        now=$(region "$@")
        if [ "$now" != "$before" ] && [ "$now" = "$last" ]; then
            return 0
        fi
        last=$now
    done
    echo "screenshot: the window did not change as expected" >&2
    exit 1
}

memo=(16 24 249 321)
verdict=(404 192 41 21)

empty_memo=$(region "${memo[@]}")
xdotool type --delay 50 37
xdotool key Return
wait_for_change "$empty_memo" "${memo[@]}"

empty_verdict=$(region "${verdict[@]}")
xdotool type --delay 50 45
wait_for_change "$empty_verdict" "${verdict[@]}"

import -window root -crop "${ww}x${wh}+${wx}+${wy}" +repage -strip "$out"
echo "screenshot: wrote $out (${ww}x${wh})"
