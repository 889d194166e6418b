#!/usr/bin/env bash
# "保存" after the reduction by 00: the file dialog opens on the Desktop folder named by
# user-dirs.dirs; a name typed without extension and Enter write NAME.txt holding the memo's
# bytes, and "成功保存！" is shown until dismissed.
source "$(dirname "$0")/common.sh"

# A Desktop with a Chinese name, as a Chinese desktop session names it, and not the ~/Desktop
# that is used when user-dirs.dirs says nothing.
desktop=$HOME/桌面
mkdir -p "$desktop"
# shellcheck disable=SC2016 # the file names $HOME itself, as xdg-user-dirs writes it
printf 'XDG_DESKTOP_DIR="$HOME/桌面"\n' >"$XDG_CONFIG_HOME/user-dirs.dirs"

# The program's visible windows other than the main one; sets dialog to the first.
dialog_shown() {
    dialog=$(xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null |
        grep -vx "$main_window" | head -n 1) || true
    [ -n "$dialog" ]
}

saved() {
    [ -f "$desktop/result.txt" ] && cmp -s "$desktop/result.txt" <(expected_result 0 0)
}

start_program
reduce 00
click 保存
wait_until 15 "save dialog" dialog_shown
focus "$dialog"
xdotool type --delay 20 result
xdotool key Return
wait_until 10 "result.txt with the memo's text in $desktop" saved
dismiss_message_box
program_runs || fail "the program ended after saving"

files=$(ls -A "$desktop")
[ "$files" = result.txt ] || fail "the Desktop holds: $files"
[ "$(stat -c %s "$desktop/result.txt")" -eq 225 ] || fail "result.txt is not 225 bytes long"
