#!/usr/bin/env bash
# A file-size limit (ulimit -f) smaller than the memo: "保存" over an existing file ends in the
# error report instead of ending the program, the earlier file keeps its bytes, and the
# program goes on. SIGXFSZ is put back to its default for the program, as a login shell leaves
# it, whatever the test's own parents did with it.
source "$(dirname "$0")/common.sh"

desktop=$HOME/桌面
mkdir -p "$desktop"
# shellcheck disable=SC2016 # the file names $HOME itself, as xdg-user-dirs writes it
printf 'XDG_DESKTOP_DIR="$HOME/桌面"\n' >"$XDG_CONFIG_HOME/user-dirs.dirs"
earlier=$scratch/earlier.txt
printf 'the earlier result\n' >"$earlier"
cp "$earlier" "$desktop/result.txt"

dialog_shown() {
    dialog=$(xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null |
        grep -vx "$main_window" | head -n 1) || true
    [ -n "$dialog" ]
}

# The application's error report carries the error icon, a red disc, which the "成功保存！"
# box lacks; the widget tests check the report's text.
box_shows_error_icon() {
    local red
    red=$(import -window "$message_box" -depth 8 png:- |
        convert - -fuzz 30% -fill black +opaque '#d00000' -fill white -opaque '#d00000' \
            -format '%[fx:round(w*h*mean)]' info:)
    [ "$red" -gt 100 ]
}

# 2 blocks of 1 KiB; the memo gets about 10 KB.
start_program bash -c 'ulimit -f 2 && exec env --default-signal=SIGXFSZ "$@"' limited
reduce 00
click 复制
wait_until 10 "result of the reduction by 00 on the clipboard" \
    clipboard_is "$(expected_result 0 0)"
xdotool mousemove --sync --window "$main_window" 100 100 click 1
xdotool key ctrl+End
xdotool key --repeat 45 --delay 5 ctrl+v

click 保存
wait_until 15 "save dialog" dialog_shown
focus "$dialog"
xdotool type --delay 20 result
xdotool key Return

wait_until 10 "modal message box titled Corvanel" message_box_shown
program_runs || fail "the program ended while saving"
focus "$message_box"
wait_until 10 "error icon in the message box" box_shows_error_icon
xdotool key Return
wait_until 10 "closing of the message box" message_box_gone
focus "$main_window"

cmp -s "$earlier" "$desktop/result.txt" || fail "result.txt changed"
files=$(ls -A "$desktop")
[ "$files" = result.txt ] || fail "the Desktop holds: $files"

# Still working: a new reduction, typed into the entry box, reaches the clipboard.
xdotool mousemove --sync --window "$main_window" 336 202 click 1
reduce 05
click 复制
wait_until 10 "result of the reduction by 05 on the clipboard" \
    clipboard_is "$(expected_result 0 5)"
