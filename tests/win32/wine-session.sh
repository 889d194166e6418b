#!/usr/bin/env bash
# One Wine session for a test run of the Windows build: a fresh Wine prefix in the build tree,
# an Xvfb of its own, and a wineserver kept alive until the run ends, so the prefix is set up
# once a run and not once a test.
#
#   wine-session.sh setup DIR [DPI]  make DIR/prefix anew, start Xvfb and the wineserver; the
#                                  screen's DPI is 96 unless given
#   wine-session.sh run DIR CMD…   run CMD (a Windows program and its arguments) under Wine
#   wine-session.sh env DIR        print the session's environment as shell assignments
#   wine-session.sh cleanup DIR    end the wineserver and Xvfb
#
# Wine runs in Simplified Chinese (LANG=zh_CN.UTF-8: code page 936, the CJK font), with HOME in
# the session folder, never the user's ~/.wine. The zh_CN.UTF-8 locale is compiled into DIR
# when the system has not got it, so the session needs no change to the machine.
set -euo pipefail

command=$1
dir=$(realpath -m "$2")
shift 2

session_env() {
    export WINEPREFIX="$dir/prefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" # no prompts to install Mono or Gecko
    export HOME="$dir/home"
    if [ -d "$dir/locale/zh_CN.UTF-8" ]; then
        export LOCPATH="$dir/locale"
    fi
    unset LC_ALL LC_CTYPE LANGUAGE
    # bash itself may warn that it cannot use the locale (it looks before LOCPATH applies).
    { export LANG=zh_CN.UTF-8; } 2>/dev/null
    if [ -f "$dir/display" ]; then
        DISPLAY=$(cat "$dir/display")
        export DISPLAY
    fi
}

case $command in
setup)
    dpi=${1:-96}
    bash "$0" cleanup "$dir" 2>/dev/null || true
    rm -rf "$dir/prefix" "$dir/home" "$dir/display"
    mkdir -p "$dir/home"
    if ! LC_ALL=zh_CN.UTF-8 locale charmap 2>/dev/null | grep -qx UTF-8; then
        if [ ! -d "$dir/locale/zh_CN.UTF-8" ]; then
            mkdir -p "$dir/locale"
            localedef -i zh_CN -f UTF-8 "$dir/locale/zh_CN.UTF-8" || [ -d "$dir/locale/zh_CN.UTF-8" ]
        fi
    fi

    # Xvfb picks a free display itself and writes its number to the descriptor.
    : >"$dir/display.new"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi "$dpi" -nolisten tcp \
        3>"$dir/display.new" >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    display=
    for _ in $(seq 100); do
        display=$(head -n 1 "$dir/display.new")
        [ -n "$display" ] && break
        kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null || { cat "$dir/xvfb.log" >&2; exit 1; }
        sleep 0.1
    done
    rm -f "$dir/display.new"
    [ -n "$display" ] || { echo "wine-session: Xvfb did not start" >&2; exit 1; }
    echo ":$display" >"$dir/display"

    session_env
    start=$(date +%s%N)
    wineboot -i </dev/null >"$dir/wineboot.log" 2>&1
    # Without a window manager Wine waits for every closing window to withdraw; unmanaged
    # windows close at once. Wine then draws title bars itself, with the Marlett font.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # The DPI Windows programs see, as the display settings set it.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
    wineserver -p </dev/null >/dev/null 2>&1
    # Wine's own background processes (services, the desktop) start with the first program and
    # stay as long as the server; started here, they hold none of a test's output open.
    wine reg query 'HKCU\Software\Wine\X11 Driver' </dev/null >/dev/null 2>&1
    echo "wine-session: prefix ready in $((($(date +%s%N) - start) / 1000000)) ms on $DISPLAY"
    ;;
run)
    session_env
    exec wine "$@"
    ;;
env)
    session_env
    for v in WINEPREFIX WINEDEBUG WINEDLLOVERRIDES HOME LANG LOCPATH DISPLAY; do
        [ -n "${!v:-}" ] && printf '%s=%q\n' "$v" "${!v}"
    done
    ;;
cleanup)
    session_env
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid" "$dir/display"
    fi
    ;;
*)
    echo "wine-session: unknown command $command" >&2
    exit 2
    ;;
esac
