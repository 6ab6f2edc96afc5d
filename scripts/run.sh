#!/usr/bin/env bash
# Installs what is missing, builds the panel and the simulator (only those: the
# tests and benchmarks are scripts/test.sh's), and starts them together through
# scripts/run-with-sim.sh, with settings and logs in build/demo/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
lock="$build/demo/lock"

# Refuse before building, not after; run-with-sim.sh takes the lock itself.
if [ -f "$lock" ] && ! flock -n "$lock" true; then
    echo "Another demo is already running (pid $(head -n 1 "$lock")); close its window first." >&2
    exit 1
fi

"$root/scripts/install-deps.sh"
echo "Building the panel and the simulator in $build" \
     "(the first time takes roughly a minute on a 2-core machine)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target pelidor7-interactive pelidor7-sim
exec "$root/scripts/run-with-sim.sh" "$@"
