#!/usr/bin/env bash
# Installs what is missing, builds, and starts the control panel together
# with a simulated dispenser (its settings kept apart from the user's).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
exec "$root/scripts/run-with-sim.sh" "$@"
