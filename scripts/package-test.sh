#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, installs it on this machine, starts the
# installed program in a virtual X server and checks that its window appears. Run as root. The
# package is removed again afterwards unless it was already installed before the test.
#
# Usage: bash scripts/package-test.sh [BUILD_DIR]    (default: build/package)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/package}

fail() {
    echo "package-test: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || fail "run as root: the test installs the package"
bash scripts/install-deps.sh

cmake --preset default -B "$build" >/dev/null
cmake --build "$build"
rm -f "$build"/corvanel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/corvanel_*.deb)
[ -f "${debs[0]}" ] || fail "cpack wrote no corvanel_*.deb in $build"
deb=$(realpath "${debs[0]}")
echo "package-test: built $deb"

# Debian's own checker: an error or a warning fails the test; the remarks it makes for
# information are shown. No tag is overridden.
lintian --fail-on error,warning --display-info "$deb" || fail "lintian found errors or warnings"

# The dependencies must come from the program's libraries, plus the CJK font and the SVG icon
# engine.
depends=$(dpkg-deb -f "$deb" Depends)
echo "package-test: Depends: $depends"
for needed in libqt6widgets6 libc6 fonts-wqy-microhei libqt6svg6; do
    grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed"
done

was_installed=$(dpkg-query -W -f='${db:Status-Status}' corvanel 2>/dev/null || true)
remove_again() {
    if [ "$was_installed" != installed ]; then
        apt-get remove -y -qq -o DPkg::Lock::Timeout=120 corvanel >/dev/null || true
    fi
}
trap remove_again EXIT
# apt-get rather than dpkg -i: it waits for the package database lock instead of failing, and
# fetches a missing dependency the way a user's install would.
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall --no-install-recommends \
    -o DPkg::Lock::Timeout=120 "$deb" >/dev/null
[ "$(dpkg-query -W -f='${db:Status-Status}' corvanel)" = installed ] || fail "corvanel is not installed"

for f in /usr/bin/corvanel /usr/share/applications/org.corvanel.Corvanel.desktop \
    /usr/share/icons/hicolor/scalable/apps/org.corvanel.Corvanel.svg \
    /usr/share/metainfo/org.corvanel.Corvanel.metainfo.xml /usr/share/man/man1/corvanel.1.gz \
    /usr/share/doc/corvanel/copyright /usr/share/doc/corvanel/changelog.gz; do
    dpkg -S "$f" >/dev/null 2>&1 || fail "the package does not own $f"
    [ -f "$f" ] || fail "$f is missing after the install"
done
desktop-file-validate /usr/share/applications/org.corvanel.Corvanel.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.corvanel.Corvanel.metainfo.xml >/dev/null

# Start the installed program the way a desktop does and wait, at most 30 s, for its window.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; remove_again' EXIT
mkdir -m 700 "$scratch/runtime"
HOME=$scratch XDG_RUNTIME_DIR=$scratch/runtime \
    timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        /usr/bin/corvanel &
        pid=$!
        window=$(timeout 30 xdotool search --sync --all --pid "$pid" --name "^Corvanel\$" | head -n 1)
        if [ -z "$window" ]; then
            echo "package-test: no window titled Corvanel within 30 s" >&2
            kill "$pid" 2>/dev/null
            exit 1
        fi
        echo "package-test: window $window: $(xdotool getwindowname "$window")"
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    ' || fail "the installed program did not show its window"
echo "package-test: passed"
