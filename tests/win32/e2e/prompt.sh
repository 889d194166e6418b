#!/usr/bin/env bash
# An entry that is not two digits, then Enter: the prompt, a box titled "Corvanel" with one
# "确定" and no icon; Enter dismisses it, the entry is emptied and has the focus, and the result
# on screen is kept.
source "$(dirname "$0")/common.sh"

start_program
reduce 37
expect_reduced 3 7

for entry in 3 3a; do
    xdotool type --delay 20 "$entry"
    xdotool key Return
    wait_box
    expect_message "请输入2位数上期开奖号码" 0
    dismiss_box
    expect_reduced 3 7
done

# The window goes on working.
reduce 05
expect_reduced 0 5
