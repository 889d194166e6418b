#!/usr/bin/env bash
# Saving over a file that another program holds open (no sharing): the save is reported as
# failed, "不能写入文件 PATH，文件没有保存." with the error icon, no "成功保存！" follows, the earlier
# file is intact and no scratch file is left beside it. Once the other program lets go, the
# same save succeeds.
source "$(dirname "$0")/common.sh"

desktop=$case_dir/桌面
mkdir -p "$desktop"
set_desktop "$case_win"'\桌面'
printf 'earlier\r\n' >"$desktop/result.txt"
cp "$desktop/result.txt" "$scratch/earlier"

# Held for at most a minute; the case ends the holder before that.
wine "$holdopen" "$case_win"'\桌面\result.txt' 60 >"$scratch/hold.out" 2>&1 &
holder=$!
extra_pids+=("$holder")
held() {
    grep -qx held "$scratch/hold.out" || { ! kill -0 "$holder" 2>/dev/null && fail "$(cat "$scratch/hold.out")"; }
}
wait_until 20 "hold on result.txt" held

start_program
reduce 37
expect_reduced 3 7
save_as result
wait_box
expect_message "不能写入文件 $case_win\\桌面\\result.txt，文件没有保存." 1
dismiss_box
# dismiss_box waited until the window was back in a message loop: a box that followed the
# report would be shown by now.
cmp -s "$desktop/result.txt" "$scratch/earlier" || fail "the earlier result.txt was changed"
files=$(ls -A "$desktop")
[ "$files" = result.txt ] || fail "the Desktop folder holds: $files"

# The other program ends; the same save now replaces the file.
kill "$holder"
wait "$holder" 2>/dev/null || true
save_as result
wait_box
expect_message "成功保存！" 0
cmp -s "$desktop/result.txt" <(expected_result 3 7) || fail "result.txt does not hold the result"
dismiss_box
files=$(ls -A "$desktop")
[ "$files" = result.txt ] || fail "the Desktop folder holds: $files"
