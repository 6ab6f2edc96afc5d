#!/usr/bin/env bash
# Starts a simulated dispenser, then the control panel, both kept in the demo
# folder build/demo/ (or $BUILD_DIR/demo/):
#   config/         the panel's settings, never the user's own; they survive
#                   between runs, and "COMport" is set to this run's simulator
#                   device, so Connect talks to the simulator
#   panel.log       the panel's debug lines (this run)
#   simulator.log   the simulator's device path and every exchange (this run)
#   lock            held while a demo runs; holds that demo's pid
# SIM_OPTIONS passes options to the simulator (e.g. SIM_OPTIONS=--off); the
# arguments go to the panel. Stop: close the window, or Ctrl+C here; either
# stops both programs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
demo="$build/demo"
settings="$demo/config/Halvexa/Pelidor 7 Interactive.conf"
sim_log="$demo/simulator.log"
panel_log="$demo/panel.log"
lock="$demo/lock"
read -r -a sim_options <<<"${SIM_OPTIONS:-}"

for program in pelidor7-sim pelidor7-interactive; do
    if [ ! -x "$build/$program" ]; then
        echo "$build/$program is missing: build first (scripts/run.sh builds it)" >&2
        exit 1
    fi
done

# Two demos would share the settings and the logs, and the last one would win
# the stored port: one at a time. The lock stays with this script's fd 9.
mkdir -p "$demo"
exec 9<>"$lock"
if ! flock -n 9; then
    echo "Another demo is already running (pid $(head -n 1 "$lock")); close its window first." >&2
    exit 1
fi
echo "$$" >"$lock"
# Settings of the demo from before it had a folder of its own.
if [ -d "$build/demo-config" ] && [ ! -e "$demo/config" ]; then
    mv "$build/demo-config" "$demo/config"
fi

sim_pid=""
panel_pid=""
stop_all() {
    for pid in $panel_pid $sim_pid; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in $panel_pid $sim_pid; do
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Started before SIGTSTP is ignored below, so that Ctrl+Z here reaches it and
# switches it off. Without fd 9: a simulator left behind must not keep the
# lock.
"$build/pelidor7-sim" "${sim_options[@]}" >"$sim_log" 9>&- &
sim_pid=$!
# Ctrl+Z is meant for the simulator: neither this script nor the panel
# started below (which inherits the ignoring) may stop with it.
trap '' TSTP

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

XDG_CONFIG_HOME="$demo/config" "$build/pelidor7-interactive" "$@" >"$panel_log" 2>&1 &
panel_pid=$!
trap 'echo "Simulated dispenser switched off; on again: kill -CONT $sim_pid"' TSTP

cat <<EOF
Demo folder: $demo (settings kept between runs; panel.log and simulator.log of this run)
Simulated dispenser on $device, pid $sim_pid${SIM_OPTIONS:+ (options: $SIM_OPTIONS)}
  Connect:         click Connect on the Current Settings tab (the stored port is this device)
  Raise an alarm:  kill -USR1 $sim_pid (input), kill -USR2 $sim_pid (pressure); shown within 10 s
  Switch it off:   Ctrl+Z here, or kill -TSTP $sim_pid; on again: kill -CONT $sim_pid
Stop: close the panel's window, or press Ctrl+C here.
EOF

# A Ctrl+Z interrupts the wait; the panel is still running then.
status=0
while :; do
    status=0
    wait "$panel_pid" || status=$?
    if [ "$status" -gt 128 ] && kill -0 "$panel_pid" 2>/dev/null; then
        continue
    fi
    break
done
panel_pid=""
if [ "$status" -ne 0 ]; then
    echo "The panel exited with status $status; the end of $panel_log:" >&2
    tail -n 5 "$panel_log" >&2
fi
exit "$status"
