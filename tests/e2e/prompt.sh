#!/usr/bin/env bash
# Enter on an empty entry: a modal box titled "Corvanel" appears, Enter dismisses it, and the
# program goes on working.
source "$(dirname "$0")/common.sh"

start_program
xdotool key Return
dismiss_message_box
program_runs || fail "the program ended after the message box"

reduce 05
click 复制
wait_until 10 "result of the reduction by 05 on the clipboard" \
    clipboard_is "$(expected_result 0 5)"
