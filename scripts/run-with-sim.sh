#!/usr/bin/env bash
# Starts a simulated dispenser, then the control panel with its settings in a
# demo location of its own (never the user's) whose "COMport" names the
# simulator's device: click Connect and the panel talks to the simulator.
# The simulator stops when the panel exits; its log is build/pelidor7-sim.log.
# The script prints the simulator's pid: kill -USR1 <pid> raises its input
# alarm, kill -USR2 <pid> its pressure alarm.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
demo_config="$build/demo-config"
settings="$demo_config/Halvexa/Pelidor 7 Interactive.conf"
sim_log="$build/pelidor7-sim.log"

for program in pelidor7-sim pelidor7-interactive; do
    if [ ! -x "$build/$program" ]; then
        echo "$build/$program is missing: build first (scripts/build.sh)" >&2
        exit 1
    fi
done

"$build/pelidor7-sim" >"$sim_log" &
sim_pid=$!
stop_sim() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
}
trap stop_sim EXIT

# The simulator's first line is its device path.
device=""
for _ in $(seq 100); do
    device="$(head -n 1 "$sim_log")"
    [ -n "$device" ] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "pelidor7-sim did not start" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$device" ]; then
    echo "pelidor7-sim printed no device path" >&2
    exit 1
fi
echo "Simulated dispenser on $device, pid $sim_pid (log: $sim_log)"
echo "Raise an alarm on it: kill -USR1 $sim_pid (input alarm) or kill -USR2 $sim_pid" \
     "(pressure alarm); the panel shows it at its next poll, within 10 s"

# Point "COMport" at the device; the other demo settings stay as they were.
mkdir -p "$(dirname "$settings")"
if [ ! -f "$settings" ]; then
    printf '[General]\nCOMport=%s\n' "$device" >"$settings"
elif grep -q '^COMport=' "$settings"; then
    sed -i "s|^COMport=.*|COMport=$device|" "$settings"
elif grep -q '^\[General\]' "$settings"; then
    sed -i "/^\[General\]/a COMport=$device" "$settings"
else
    sed -i "1i [General]\nCOMport=$device\n" "$settings"
fi

status=0
XDG_CONFIG_HOME="$demo_config" "$build/pelidor7-interactive" "$@" || status=$?
exit "$status"
