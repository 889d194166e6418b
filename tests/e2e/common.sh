# shellcheck shell=bash
# Sourced by every end-to-end case. A case runs inside its own X server (xvfb-run) with
#   bash CASE.sh PROGRAM OUT_DIR
# starts PROGRAM in a scratch home, drives it with xdotool as a user would, and checks only what
# the user gets: windows, the clipboard, files. Every wait is bounded.
set -euo pipefail

program=$1
# shellcheck disable=SC2034 # where a case leaves files for a person to look at
out_dir=$2
case_name=$(basename "$0" .sh)

scratch=$(mktemp -d)
export HOME=$scratch/home
export XDG_CONFIG_HOME=$scratch/config
export XDG_RUNTIME_DIR=$scratch/runtime
export LANG=C.UTF-8
unset LC_ALL LANGUAGE XDG_CURRENT_DESKTOP QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

pid=
main_window=

fail() {
    echo "$case_name: $*" >&2
    exit 1
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
    if [ $status -ne 0 ] && [ -s "$scratch/program.log" ]; then
        echo "--- the program's output:" >&2
        cat "$scratch/program.log" >&2
    fi
    rm -rf "$scratch"
    exit $status
}
trap finish EXIT

# wait_until SECONDS WHAT COMMAND..., expected_result A B
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"

# The program's visible windows titled "Corvanel", one id a line: the main window and any
# message box.
titled_windows() {
    xdotool search --all --onlyvisible --pid "$pid" --name '^Corvanel$' 2>/dev/null || true
}

# There is no window manager in the server, so the cases give the keyboard focus to each new
# window themselves, as a window manager does when a window is mapped.
focus() {
    xdotool windowfocus --sync "$1"
    wait_until 10 "keyboard focus in window $1" has_focus "$1"
}

# start_program [WRAPPER...]: starts the program, through WRAPPER when given (a command that
# runs its arguments), and waits until its window is shown and holds the keyboard focus.
start_program() {
    "$@" "$program" >"$scratch/program.log" 2>&1 &
    pid=$!
    main_window=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" \
        --name '^Corvanel$' | head -n 1) || true
    [ -n "$main_window" ] || fail "no window titled Corvanel within 20 s"
    focus "$main_window"
}

has_focus() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# click BUTTON: clicks the middle of one of the window's 75x25 buttons, placed at fixed client
# coordinates.
click() {
    local left top
    case $1 in
    过滤) left=296 top=256 ;;
    保存) left=392 top=256 ;;
    复制) left=296 top=296 ;;
    退出) left=392 top=296 ;;
    *) fail "no button $1" ;;
    esac
    local WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$main_window" | grep -E '^(WIDTH|HEIGHT)=')"
    if [ $((left + 75)) -gt "$WIDTH" ] || [ $((top + 25)) -gt "$HEIGHT" ]; then
        fail "button $1 lies outside the ${WIDTH}x${HEIGHT} window"
    fi
    xdotool mousemove --sync --window "$main_window" $((left + 37)) $((top + 12)) click 1
}

clipboard() {
    timeout 5 xclip -o -selection clipboard 2>/dev/null || true
}

# Compares bytes, so that a line break added at the end is not lost as $(...) would lose it.
clipboard_is() {
    cmp -s <(clipboard) <(printf '%s' "$1")
}

# A modal message box: a second visible window titled "Corvanel" that says it is modal. Sets
# message_box to its id.
message_box_shown() {
    local w
    for w in $(titled_windows); do
        [ "$w" != "$main_window" ] || continue
        if xprop -id "$w" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MODAL; then
            message_box=$w
            return 0
        fi
    done
    return 1
}

message_box_gone() {
    ! titled_windows | grep -qx "$message_box"
}

# Waits for a message box, dismisses it with Enter and waits until it is gone.
dismiss_message_box() {
    wait_until 10 "modal message box titled Corvanel" message_box_shown
    focus "$message_box"
    xdotool key Return
    wait_until 10 "closing of the message box" message_box_gone
    focus "$main_window"
}

# True while the program is alive; an ended program that is not yet reaped is a zombie, which
# kill -0 would still find.
program_runs() {
    local state
    state=$(ps -o stat= -p "$pid" 2>/dev/null) || return 1
    [[ $state != Z* ]]
}

# Types a two-digit draw into the focused entry box and presses Enter.
reduce() {
    xdotool type --delay 20 "$1"
    xdotool key Return
}
