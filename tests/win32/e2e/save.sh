#!/usr/bin/env bash
# "保存": the file dialog opens on the folder the registry names as the user's Desktop (here a
# folder with a Chinese name, 桌面), its name box empty; a name typed without extension gets
# ".txt", the file holds the memo's text in code page 936 (GBK) with its CR LF line breaks, and
# "成功保存！" is shown until dismissed. A second "保存" opens with an empty name box again, and
# Escape cancels it: nothing written, nothing shown.
source "$(dirname "$0")/common.sh"

desktop=$case_dir/桌面
mkdir -p "$desktop"
set_desktop "$case_win"'\桌面'

start_program
reduce 37
expect_reduced 3 7

# A line of Chinese pasted at the end of the list, as a user may add a note to it.
click memcode
printf '\n二星缩水' >"$scratch/note"
xclip -i -quiet -selection clipboard "$scratch/note" 2>/dev/null &
extra_pids+=($!)
# Wine takes the X clipboard's new text over in its own time; Ctrl+V pastes what Windows has.
wine_has_note() {
    wine "$inspector" clipboard >"$scratch/state" 2>/dev/null && [ "$(value clipboard)" = '\r\n二星缩水' ]
}
wait_until 10 "note on the clipboard" wine_has_note
xdotool key ctrl+End ctrl+v
memo=$(expected_result 3 7)$'\r\n二星缩水'
expect_soon memcode.text "${memo//$'\r\n'/\\r\\n}"

save_as result
saved() {
    [ -f "$desktop/result.txt" ]
}
wait_until 10 "result.txt in $desktop" saved
wait_box
expect_message "成功保存！" 0
printf '%s' "$memo" | iconv -f UTF-8 -t CP936 >"$scratch/expected"
cmp "$desktop/result.txt" "$scratch/expected" || fail "result.txt does not hold the memo in GBK"
dismiss_box

files=$(ls -A "$desktop")
[ "$files" = result.txt ] || fail "the Desktop folder holds: $files"
# Not in the program's working folder, nor on the Desktop Wine made for the user.
[ -z "$(find "$scratch" "$HOME/" -iname 'result*')" ] || fail "a file was saved elsewhere too"

# Again: the name box is empty; Escape cancels.
click btnsave
wait_box
expect box0.edit ""
xdotool key Escape
inspect wait-no-box 10
inspect idle
expect boxes 0
cmp -s "$desktop/result.txt" "$scratch/expected" || fail "cancelling changed result.txt"
files=$(ls -A "$desktop")
[ "$files" = result.txt ] || fail "after cancelling, the Desktop folder holds: $files"
