#!/usr/bin/env bash
# 37 and Enter, then "复制": the window shows the 75 kept numbers and their count, and the
# clipboard holds the 225 characters of the result. Leaves a screenshot of the window after the
# reduction in OUT_DIR for a person to look at.
source "$(dirname "$0")/common.sh"

start_program
inspect state
expect focus edtcode
expect lbljushu.text "缩水结果："
expect lblkj.text "上期开奖："
reduce 37
expect_reduced 3 7

screenshot=$out_dir/e2e-screenshot-37.png
import -window "$main_window" "$screenshot"
[ "$(identify -format %m "$screenshot")" = PNG ] || fail "no screenshot in $screenshot"
echo "$case_name: screenshot of the window in $screenshot"

click btncopy
wait_until 10 "result of the reduction by 37 on the clipboard" \
    clipboard_is "$(expected_result 3 7)"
length=$(clipboard | wc -m)
[ "$length" -eq 225 ] || fail "the clipboard holds $length characters, not 225"
text=$(clipboard)
for n in 50 51 52 53 54 60 61 62 63 64 70 71 72 73 74 80 81 82 83 84 90 91 92 93 94; do
    [[ " $text" != *" $n "* ]] || fail "the clipboard holds $n, which 37 drops"
done
# Copying shows nothing and leaves the window as it was.
inspect idle
expect boxes 0
expect memcode.text "$(expected_result 3 7)"
