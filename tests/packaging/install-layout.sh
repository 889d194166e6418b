#!/usr/bin/env bash
# Usage: install-layout.sh BUILD_DIR HAS_PROGRAM
# Installs BUILD_DIR into a scratch root with prefix /usr, as the Debian package does, and checks
# that the program, its desktop entry, icon, metainfo, manual page and copyright are where a freedesktop desktop looks
# for them and still validate there. HAS_PROGRAM is 1 when the build defines the program.
set -euo pipefail
build=$1
has_program=$2

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

usr=$root/usr
id=org.corvanel.Corvanel
status=0
expect() {
    if [ ! -f "$usr/$1" ]; then
        echo "install-layout: missing /usr/$1" >&2
        status=1
    fi
}
desktop=share/applications/$id.desktop
expect "$desktop"
expect share/metainfo/$id.metainfo.xml
expect share/man/man1/corvanel.1.gz
expect share/doc/corvanel/copyright
expect share/doc/corvanel/changelog.gz
[ $status -eq 0 ] || exit $status

# The entry's Icon and Exec must name what was installed, not merely be well formed.
icon=$(sed -n 's/^Icon=//p' "$usr/$desktop")
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$usr/$desktop")
expect "share/icons/hicolor/scalable/apps/$icon.svg"
if [ "$has_program" = 1 ]; then
    expect "bin/$program"
    if [ -f "$usr/bin/$program" ] && [ ! -x "$usr/bin/$program" ]; then
        echo "install-layout: /usr/bin/$program is not executable" >&2
        status=1
    fi
fi
[ $status -eq 0 ] || exit $status

desktop-file-validate "$usr/share/applications/$id.desktop"
# validate-tree also checks that the metainfo's launchable names an installed desktop entry.
appstreamcli validate-tree --no-net "$usr"
echo "install-layout: all files in place"
