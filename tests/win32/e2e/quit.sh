#!/usr/bin/env bash
# "退出" ends the program at once, with exit status 0 from the wine process.
source "$(dirname "$0")/common.sh"

start_program
reduce 37
expect_reduced 3 7
click btnclose
wait_until 10 "end of the program" eval '! program_runs'
status=0
wait "$pid" || status=$?
pid=
[ $status -eq 0 ] || fail "the program ended with exit status $status"
[ -z "$(xdotool search --all --onlyvisible --name '^Corvanel$' 2>/dev/null)" ] ||
    fail "a window titled Corvanel is still shown"
