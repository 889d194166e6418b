#!/usr/bin/env bash
# After the reduction by 37, typing a draw shows the verdict: 45 is kept, so "中" and 45 marked
# in the list (the selection stays visible while the entry box has the focus); a click into the
# entry empties it; 52 is dropped, so "X". Tab and Shift+Tab go the window's way round.
source "$(dirname "$0")/common.sh"

start_program
# Before any reduction the list is empty and a draw gives no verdict.
xdotool type --delay 20 45
expect_soon edtcode.text 45
expect edtdj.text ""
# Not where the second click below lands, so that the two are no double click.
click edtcode left
expect_soon edtcode.text ""

reduce 37
expect_reduced 3 7
result=$(expected_result 3 7)
before=${result%%45 *}
start=${#before}

xdotool type --delay 20 45
expect_soon edtdj.text 中
expect edtcode.text 45
expect memcode.sel "$start,$((start + 3))"
expect focus edtcode

click edtcode
expect_soon edtcode.text ""
expect focus edtcode
# Emptying the entry is no draw: the verdict stays.
expect edtdj.text 中
xdotool type --delay 20 52
expect_soon edtdj.text X
expect memcode.text "$result"

# The Tab order, as the window gives it and as the keys go.
expect tab edtcode,memcode,btnfilt,btncopy,btnclose,edtdj,btnsave
expect tabback edtcode,btnsave,edtdj,btnclose,btncopy,btnfilt,memcode
xdotool key Tab
expect_soon focus memcode
xdotool key shift+Tab shift+Tab
expect_soon focus btnsave
