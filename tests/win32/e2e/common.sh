# shellcheck shell=bash
# Sourced by every end-to-end case of corvanel.exe. A case runs in the Wine session of the
# fixture (tests/win32/wine-session.sh: its own Xvfb at 96 DPI, no window manager, unmanaged
# Wine windows, Simplified Chinese) as
#   bash CASE.sh WINE_SESSION WINE_DIR CORVANEL_EXE INSPECT_EXE HOLDOPEN_EXE OUT_DIR
# starts the program, drives it with xdotool as a user would, and checks only what the user
# gets: what the window and its boxes show (read from outside by corvanel_inspect), the
# clipboard, files. Every wait is bounded.
set -euo pipefail

wine_session=$1
wine_dir=$2
program=$3
inspector=$4
# shellcheck disable=SC2034 # used by the case that holds a file open
holdopen=$5
# shellcheck disable=SC2034 # where a case leaves files for a person to look at
out_dir=$6
case_name=$(basename "$0" .sh)

[ -f "$wine_dir/display" ] || {
    echo "$case_name: no Wine session in $wine_dir" >&2
    exit 1
}
eval "$(bash "$wine_session" env "$wine_dir")"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES HOME LANG DISPLAY
[ -z "${LOCPATH:-}" ] || export LOCPATH

scratch=$(mktemp -d)
# The case's folder on drive C:, as Windows paths name it and as this shell reaches it.
# shellcheck disable=SC2034 # used by the cases that save
case_win="C:\\corvanel-e2e\\$case_name"
case_dir=$WINEPREFIX/drive_c/corvanel-e2e/$case_name
rm -rf "$case_dir"
mkdir -p "$case_dir"

pid=
main_window=
extra_pids=()

fail() {
    echo "$case_name: $*" >&2
    exit 1
}

# True while the program is alive; an ended program that is not yet reaped is a zombie, which
# kill -0 would still find.
program_runs() {
    local state
    state=$(ps -o stat= -p "$pid" 2>/dev/null) || return 1
    [[ $state != Z* ]]
}

finish() {
    local status=$?
    # Every case but the one that quits leaves the program running; one that ended by itself
    # crashed after the case's last check.
    if [ $status -eq 0 ] && [ -n "$pid" ] && ! program_runs; then
        echo "$case_name: the program ended by itself" >&2
        status=1
    fi
    if [ -n "$pid" ] && program_runs; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    local p
    for p in "${extra_pids[@]}"; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    if [ $status -ne 0 ]; then
        [ ! -s "$scratch/state" ] || { echo "--- the window's last state:" >&2; cat "$scratch/state" >&2; }
        [ ! -s "$scratch/program.log" ] || { echo "--- the program's output:" >&2; cat "$scratch/program.log" >&2; }
    fi
    rm -rf "$scratch" "$case_dir"
    exit $status
}
trap finish EXIT

# wait_until SECONDS WHAT COMMAND..., expected_result A B
source "$(dirname "${BASH_SOURCE[0]}")/../../support/e2e.sh"

# inspect COMMAND [SECONDS]: reads the window (corvanel_inspect) into $scratch/state.
inspect() {
    wine "$inspector" "$@" >"$scratch/state" 2>"$scratch/inspect.err" ||
        fail "$(cat "$scratch/inspect.err")"
}

# value KEY: one fact of the last inspect.
value() {
    awk -v k="$1=" 'index($0, k) == 1 { printf "%s", substr($0, length(k) + 1); found = 1; exit }
        END { exit !found }' "$scratch/state" || fail "the window's state says nothing of $1"
}

# expect KEY VALUE: the last inspect found VALUE for KEY.
expect() {
    local actual
    actual=$(value "$1")
    [ "$actual" = "$2" ] || fail "$1 is \"$actual\", not \"$2\""
}

# expect_soon KEY VALUE: waits at most 10 s until the window, back in its message loop, shows
# VALUE for KEY. The first check after xdotool's input waits this way: the program reads the
# X server's events in its own time.
expect_soon() {
    local deadline=$((SECONDS + 10))
    inspect idle
    until [ "$(value "$1")" = "$2" ]; do
        [ $SECONDS -lt $deadline ] || expect "$@"
        sleep 0.05
        inspect idle
    done
}

has_focus() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# There is no window manager in the server, so the cases give the keyboard focus to each new
# window themselves, as a window manager does when a window is mapped.
focus() {
    xdotool windowfocus --sync "$1"
    wait_until 10 "keyboard focus in window $1" has_focus "$1"
}

# Starts the program in the scratch folder and waits until its window is shown and holds the
# keyboard focus.
start_program() {
    (cd "$scratch" && exec wine "$program") >"$scratch/program.log" 2>&1 &
    pid=$!
    inspect wait-window 20
    main_window=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" \
        --name '^Corvanel$' | head -n 1) || true
    [ -n "$main_window" ] || fail "no X window titled Corvanel within 20 s"
    focus "$main_window"
}

# click CONTROL [left]: clicks the middle of one of the window's controls, where the window
# shows it, or halfway between its middle and its left edge. Two clicks on the same spot within
# the double-click time are a double click, which the second click of a case may need to avoid.
click() {
    inspect state
    expect "$1.visible" 1
    local xy x y rect width
    xy=$(value "$1.center")
    x=${xy%,*} y=${xy#*,}
    if [ "${2:-}" = left ]; then
        rect=$(value "$1.rect")
        width=$(cut -d, -f3 <<<"$rect")
        x=$((x - width / 4))
    fi
    # Not mousemove --sync, which waits in vain when the pointer is already there.
    xdotool mousemove "$x" "$y"
    wait_until 10 "pointer on $1" pointer_at "$x" "$y"
    xdotool click 1
}

pointer_at() {
    local X Y
    eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
    [ "$X" = "$1" ] && [ "$Y" = "$2" ]
}

# Types a two-digit draw into the focused entry box and presses Enter.
reduce() {
    xdotool type --delay 20 "$1"
    xdotool key Return
}

# Waits for the reduction by the draw "$1$2" to be on screen, and checks what it shows.
expect_reduced() {
    expect_soon memcode.text "$(expected_result "$1" "$2")"
    expect lbljushu.text "缩水结果：75注"
    expect lblkj.text "上期：$1$2"
    expect edtcode.text ""
    expect focus edtcode
}

# The program's visible X window other than the main one: a box or the file dialog.
box_window() {
    box=$(xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null |
        grep -vx "$main_window" | head -n 1) || true
    [ -n "$box" ]
}

# Waits for a dialog box (read into the state as box0) and gives it the keyboard focus.
wait_box() {
    inspect wait-box 15
    expect boxes 1
    wait_until 10 "X window of the dialog box" box_window
    focus "$box"
}

# expect_message TEXT ICON: box0 is one of the program's message boxes saying TEXT, with the
# error icon when ICON is 1.
expect_message() {
    expect box0.title Corvanel
    expect box0.text "$1"
    expect box0.icon "$2"
    expect box0.buttons 确定
    expect box0.focus 确定
}

# Dismisses the focused box with Enter and waits until it is gone and the window is back in its
# message loop.
dismiss_box() {
    xdotool key Return
    inspect wait-no-box 10
    inspect idle
    expect boxes 0
    focus "$main_window"
}

clipboard() {
    timeout 5 xclip -o -selection clipboard 2>/dev/null || true
}

# Compares bytes, so that a line break added at the end is not lost as $(...) would lose it.
clipboard_is() {
    cmp -s <(clipboard) <(printf '%s' "$1")
}

# set_desktop WINDOWS_PATH: moves the user's Desktop folder, as Windows keeps it: the folder is
# defined under "User Shell Folders", and "Shell Folders", the value the program reads, is the
# copy the shell writes again from it whenever it looks the folder up (the file dialog does).
set_desktop() {
    local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
    if ! wine reg add "$key\User Shell Folders" /v Desktop /t REG_EXPAND_SZ /d "$1" /f \
        >/dev/null 2>&1 ||
        ! wine reg add "$key\Shell Folders" /v Desktop /t REG_SZ /d "$1" /f >/dev/null 2>&1; then
        fail "cannot set the Desktop folder"
    fi
}

# save_as NAME: "保存", then NAME typed into the file dialog's empty name box and Enter.
save_as() {
    click btnsave
    wait_box
    [ "$(value box0.title)" != Corvanel ] || fail "a message box instead of the file dialog"
    expect box0.edit ""
    xdotool type --delay 20 "$1"
    xdotool key Return
}
