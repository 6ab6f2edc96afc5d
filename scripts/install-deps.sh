#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those
# that are missing. Uses sudo when not run as root.
set -euo pipefail

# EXTRA_PACKAGES names more, for builds that need them (the sanitizer build).
# dpkg-dev and file: the Debian package's dependencies are found with
# dpkg-shlibdeps, which CPack runs on the files that file(1) calls ELF.
# libqt5sql5-sqlite: Qt's SQLite driver, a plugin the history loads at run time.
packages=(cmake make g++ qtbase5-dev libqt5serialport5-dev libqt5charts5-dev libqt5sql5-sqlite
          fonts-dejavu-core dpkg-dev file ${EXTRA_PACKAGES:-})
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "Missing packages: ${missing[*]}; run this script as root or install sudo." >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
