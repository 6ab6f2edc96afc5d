#!/usr/bin/env bash
# Installs what is missing, builds, and starts the control panel.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
exec "$build/pelidor7-interactive" "$@"
