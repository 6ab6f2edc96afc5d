#!/usr/bin/env bash
# Installs what is missing and builds everything into build/ (or $BUILD_DIR).
# PELIDOR7_WERROR=ON makes every compiler warning an error (CI sets it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
    -DPELIDOR7_WERROR="${PELIDOR7_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)"
