#!/usr/bin/env bash
# "退出" ends the program at once, with exit status 0.
source "$(dirname "$0")/common.sh"

start_program
click 退出
wait_until 10 "end of the program" eval '! program_runs'
status=0
wait "$pid" || status=$?
pid=
[ $status -eq 0 ] || fail "the program ended with exit status $status"
