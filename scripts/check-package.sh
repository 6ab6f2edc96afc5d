#!/usr/bin/env bash
# Builds the Debian package in a build folder (the argument, else $BUILD_DIR,
# else build/) and checks it: the files it installs, the Qt libraries and
# the SQLite driver plugin among its dependencies, and that the packaged
# programs run (the panel against the system's Qt, headless) and the panel
# names the package's version.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${BUILD_DIR:-$root/build}}"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
# cpack builds everything first, one job at a time: done in parallel here.
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/pelidor7-interactive_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/pelidor7-interactive_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "check-package: expected one package, found: ${debs[*]}" >&2
    exit 1
fi
deb="${debs[0]}"

failed=0
fail() {
    echo "check-package: $*" >&2
    failed=1
}

contents="$(dpkg-deb -c "$deb")"
for path in ./usr/bin/pelidor7-interactive ./usr/bin/pelidor7-sim \
            ./usr/share/applications/pelidor7-interactive.desktop \
            ./usr/share/icons/hicolor/64x64/apps/pelidor7-interactive.png; do
    grep -q " $path\$" <<<"$contents" || fail "$path is not in the package"
done
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt5core5a libqt5widgets5 libqt5serialport5 libqt5charts5 libqt5sql5 \
               libqt5sql5-sqlite; do
    # Whole names: libqt5sql5 must not be found in libqt5sql5-sqlite.
    grep -qE "(^|, )$library( |,|\$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
expected="Pelidor 7 Interactive $(dpkg-deb -f "$deb" Version)"
version="$(QT_QPA_PLATFORM=offscreen "$unpacked/usr/bin/pelidor7-interactive" --version 2>/dev/null)" \
    || fail "the packaged panel failed on --version"
[ "$version" = "$expected" ] || fail "the packaged panel says \"$version\", not \"$expected\""
"$unpacked/usr/bin/pelidor7-sim" --help >/dev/null || fail "the packaged simulator failed on --help"

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "Package checked: $deb"
echo "$contents"
