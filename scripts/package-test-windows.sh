#!/usr/bin/env bash
# Builds the Windows installer and zip with CPack, then does what a Windows user does, under Wine
# in an Xvfb of its own: installs silently, finds the program in the Start menu and in Apps /
# Add or Remove Programs, starts it from the Start-menu shortcut, closes it, uninstalls silently,
# and checks that nothing is left. Prints the sizes and the install and uninstall times.
#
# Usage: bash scripts/package-test-windows.sh [BUILD_DIR]    (default: build/windows)
#
# The Wine session (tests/win32/wine-session.sh) is a fresh prefix in BUILD_DIR/wine-package,
# made anew on every run and ended when the test ends, whatever the outcome.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
session=$build/wine-package

fail() {
    echo "package-test-windows: $*" >&2
    exit 1
}
say() { echo "package-test-windows: $*"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

bash scripts/install-deps.sh

cmake --preset windows -B "$build" >/dev/null
cmake --build "$build"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
installer=$build/Corvanel-$version-win64.exe
zip=$build/Corvanel-$version-win64.zip
rm -f "$installer" "$zip"
(cd "$build" && cpack >/dev/null)
[ -f "$installer" ] || fail "cpack wrote no $installer"
[ -f "$zip" ] || fail "cpack wrote no $zip"
installer=$(realpath "$installer")
zip=$(realpath "$zip")

# A 64-bit installer (a 32-bit one needs WOW64, which a 64-bit-only Windows or Wine lacks).
file -b "$installer" | grep -q '^PE32+ executable (GUI) x86-64' ||
    fail "the installer is not a 64-bit Windows program: $(file -b "$installer")"

# The portable zip: corvanel.exe alone, at its top.
[ "$(unzip -Z1 "$zip")" = corvanel.exe ] || fail "the zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"

# ---------------------------------------------------------------------------------------------
# The Wine session, ended on every way out.
bash tests/win32/wine-session.sh setup "$session" >/dev/null
trap 'bash tests/win32/wine-session.sh cleanup "$session"' EXIT
set -a
eval "$(bash tests/win32/wine-session.sh env "$session")"
set +a
drive_c=$WINEPREFIX/drive_c
install_dir="$drive_c/Program Files/Corvanel"
win_install_dir='C:\Program Files\Corvanel'
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/二星缩水.lnk"
win_shortcut='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\二星缩水.lnk'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanel'

# reg.exe writes in the console's code page, 936 in this Chinese session.
reg_query() { wine reg query "$@" </dev/null 2>/dev/null | iconv -f CP936 -t UTF-8 | tr -d '\r'; }
# One value of the uninstall entry in the 64-bit registry, as "TYPE<tab>DATA".
reg_value() {
    reg_query "$uninstall_key" /v "$1" /reg:64 |
        sed -n "s/^    $1    \(REG_[A-Z_]*\)    \(.*\)\$/\1\t\2/p"
}
key_exists() { wine reg query "$uninstall_key" "$@" </dev/null >/dev/null 2>&1; }

# What a user could see of an installed program: the folders it may write to and the
# registry's uninstall entries and software keys.
footprint() {
    (cd "$drive_c" && find 'Program Files' 'Program Files (x86)' \
        'ProgramData/Microsoft/Windows/Start Menu' users/*/AppData/Roaming/Microsoft/Windows \
        users/*/Desktop users/Public/Desktop 2>/dev/null | LC_ALL=C sort)
    for view in 64 32; do
        for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 'HKLM\Software' \
            'HKCU\Software'; do
            reg_query "$key" /reg:$view | grep '^HKEY_' | LC_ALL=C sort
        done
    done
}

# ---------------------------------------------------------------------------------------------
# An older Windows is refused before anything is written. A fresh prefix says Windows 7; the
# installer's exit status is ERROR_OLD_WIN_VERSION (1150), of which the system sees the low
# byte, 126.
before=$(footprint)
status=0
wine "$installer" /S </dev/null || status=$?
[ "$status" -eq $((1150 % 256)) ] || fail "on Windows 7 the installer ended with $status, not 1150"
[ "$(footprint)" = "$before" ] || fail "the installer refused Windows 7 but left something behind"
say "refused on Windows 7 (exit status 1150), nothing written"

# From here on, the Windows the program is made for.
wine winecfg -v win10 </dev/null
before=$(footprint)

# ---------------------------------------------------------------------------------------------
# Silent install.
start=$(now_ms)
wine "$installer" /S </dev/null || fail "the silent install ended with status $?"
install_ms=$(($(now_ms) - start))

# The files: the program (the same bytes as in the zip) and the uninstaller, nothing else.
[ "$(cd "$install_dir" && ls -A | LC_ALL=C sort | tr '\n' ' ')" = "Uninstall.exe corvanel.exe " ] ||
    fail "$install_dir holds: $(ls -A "$install_dir" | tr '\n' ' ')"
unzip -p "$zip" corvanel.exe | cmp -s - "$install_dir/corvanel.exe" ||
    fail "the installed corvanel.exe differs from the one in the zip"

# The uninstall entry, in the 64-bit registry only.
key_exists /reg:64 || fail "no uninstall entry $uninstall_key"
! key_exists /reg:32 || fail "the uninstall entry is in the 32-bit registry view (WOW6432Node)"
while IFS='|' read -r name expected; do
    actual=$(reg_value "$name")
    [ "$actual" = "$expected" ] || fail "uninstall entry $name: '$actual', expected '$expected'"
done <<EOF
DisplayName|REG_SZ	二星缩水 (Corvanel)
DisplayVersion|REG_SZ	$version
Publisher|REG_SZ	Corvanel developers
DisplayIcon|REG_SZ	$win_install_dir\\corvanel.exe,0
InstallLocation|REG_SZ	$win_install_dir
UninstallString|REG_SZ	"$win_install_dir\\Uninstall.exe"
QuietUninstallString|REG_SZ	"$win_install_dir\\Uninstall.exe" /S
NoModify|REG_DWORD	0x1
NoRepair|REG_DWORD	0x1
EOF
# EstimatedSize: KiB, what the folder holds.
size=$(reg_value EstimatedSize)
[[ $size == REG_DWORD$'\t'0x* ]] || fail "uninstall entry EstimatedSize: '$size'"
size_kib=$((${size#*$'\t'}))
folder_kib=$(($(cat "$install_dir"/* | wc -c) / 1024))
((size_kib >= folder_kib && size_kib <= folder_kib + 8)) ||
    fail "uninstall entry EstimatedSize: $size_kib KiB, the folder holds $folder_kib KiB"

# The Start-menu shortcut for all users: its target, folder, icon and tip, read from the file
# (the Shell Link format: a fixed header, the optional ID list and link info, then counted
# strings).
[ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut"
lnk_fields() {
    perl -e '
        use strict; use Encode;
        local $/; open my $f, "<:raw", $ARGV[0] or die; my $d = <$f>;
        my ($flags, $icon_index) = unpack "x20 V x32 l", $d;
        my $pos = 76;
        $pos += 2 + unpack "v", substr $d, $pos, 2 if $flags & 0x1;
        if ($flags & 0x2) {
            my ($size, $hsize, $lflags, undef, $base) = unpack "V5", substr $d, $pos, 20;
            my $path = "";
            if ($lflags & 1) {
                if ($hsize >= 0x24) {
                    my $u = unpack "V", substr $d, $pos + 28, 4;
                    my $raw = substr $d, $pos + $u;
                    ($path) = decode("UTF-16LE", $raw) =~ /^([^\0]*)/;
                } else {
                    ($path) = substr($d, $pos + $base) =~ /^([^\0]*)/;
                }
            }
            print "target\t", encode("UTF-8", $path), "\n";
            $pos += $size;
        }
        for ([0x4, "description"], [0x8, "relative"], [0x10, "folder"], [0x20, "arguments"],
             [0x40, "icon"]) {
            my ($bit, $name) = @$_;
            next unless $flags & $bit;
            my $n = unpack "v", substr $d, $pos, 2;
            my $s = $flags & 0x80 ? decode("UTF-16LE", substr $d, $pos + 2, 2 * $n)
                                  : substr $d, $pos + 2, $n;
            $pos += 2 + ($flags & 0x80 ? 2 * $n : $n);
            $s =~ s/\0\z//; # Wine counts and writes a terminating null; Windows does not
            print "$name\t", encode("UTF-8", $s), "\n";
        }
        print "icon_index\t$icon_index\n";
    ' "$1"
}
fields=$(lnk_fields "$shortcut")
while IFS='|' read -r name expected; do
    actual=$(sed -n "s/^$name\t//p" <<<"$fields")
    [ "$actual" = "$expected" ] || fail "shortcut $name: '$actual', expected '$expected'"
done <<EOF
target|$win_install_dir\\corvanel.exe
folder|$win_install_dir
icon|$win_install_dir\\corvanel.exe
icon_index|0
description|按上期开奖号码缩水二星号码
EOF
say "installed in $install_ms ms: files, Start-menu shortcut \"二星缩水\" and uninstall entry checked"

# ---------------------------------------------------------------------------------------------
# Start the program from the shortcut, as the Start menu does, and wait (at most 30 s) for its
# window to show; then close it with Alt+F4 and wait for the program to end.
start=$(now_ms)
wine start "$win_shortcut" </dev/null
window=
for _ in $(seq 300); do
    # Visible: mapped, so that it can take the focus.
    window=$(xdotool search --onlyvisible --name '^Corvanel$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled Corvanel within 30 s of starting the shortcut"
window_ms=$(($(now_ms) - start))
pid=$(xdotool getwindowpid "$window")
program=$(tr '\0' '\n' <"/proc/$pid/cmdline" | head -n 1)
[ "$program" = "$win_install_dir\\corvanel.exe" ] || fail "the window belongs to '$program'"
[ "$(realpath "/proc/$pid/cwd")" = "$(realpath "$install_dir")" ] ||
    fail "the program started in $(realpath "/proc/$pid/cwd"), not in its folder"
say "the shortcut started $program; window $window after $window_ms ms"
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
! kill -0 "$pid" 2>/dev/null || fail "the program did not end within 10 s of Alt+F4"

# ---------------------------------------------------------------------------------------------
# Silent uninstall, as Apps & features runs it: the entry's QuietUninstallString. The
# uninstaller copies itself to the temporary folder, starts the copy and returns at once, so
# wait (at most 60 s) until the entry, the shortcut and the folder are gone.
quiet=$(reg_value QuietUninstallString)
quiet=${quiet#*$'\t'}
[[ $quiet =~ ^\"([^\"]+)\"\ (.*)$ ]] || fail "QuietUninstallString '$quiet' is not \"PROGRAM\" ARGS"
start=$(now_ms)
# shellcheck disable=SC2086 # the arguments are split as the command line splits them
wine "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]} </dev/null || fail "the uninstaller ended with status $?"
for _ in $(seq 600); do
    if ! key_exists /reg:64 && [ ! -e "$shortcut" ] && [ ! -e "$install_dir" ]; then
        break
    fi
    sleep 0.1
done
uninstall_ms=$(($(now_ms) - start))
! key_exists /reg:64 || fail "the uninstall entry is still there after 60 s"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there after 60 s"
[ ! -e "$install_dir" ] || fail "$install_dir is still there after 60 s: $(ls -A "$install_dir")"
after=$(footprint)
[ "$after" = "$before" ] ||
    fail "the uninstall left something behind:$(diff <(echo "$before") <(echo "$after") | sed -n 's/^>/ /p')"
say "uninstalled in $uninstall_ms ms; nothing left"

kib() { echo "$(($(stat -c %s "$1") / 1024)) KiB ($(stat -c %s "$1") bytes)"; }
say "$(basename "$installer"): $(kib "$installer")"
say "$(basename "$zip"): $(kib "$zip"), corvanel.exe $(unzip -Z -l "$zip" corvanel.exe | awk '{print $4}') bytes"
say "install $install_ms ms, window after $window_ms ms, uninstall $uninstall_ms ms (Wine $(wine --version 2>/dev/null))"
say "passed"
