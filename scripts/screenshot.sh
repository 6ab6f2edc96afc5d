#!/usr/bin/env bash
# Makes docs/screenshot.png: the panel connected to a simulated dispenser,
# under Xvfb, with settings in a throwaway folder. Installs what is missing
# (xvfb, imagemagick and xdotool as well) and builds the two programs first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
output="${1:-$root/docs/screenshot.png}"

# First pass: prepare, then run again under a display of its own.
if [ -z "${PELIDOR7_SCREENSHOT_DISPLAY:-}" ]; then
    EXTRA_PACKAGES="xvfb xauth imagemagick xdotool" "$root/scripts/install-deps.sh"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
    cmake --build "$build" -j"$(nproc)" --target pelidor7-interactive pelidor7-sim >/dev/null
    export PELIDOR7_SCREENSHOT_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

work="$(mktemp -d)"
sim_pid=""
panel_pid=""
cleanup() {
    for pid in $panel_pid $sim_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

"$build/pelidor7-sim" >"$work/simulator.log" &
sim_pid=$!
device=""
for _ in $(seq 100); do
    device="$(head -n 1 "$work/simulator.log")"
    [ -n "$device" ] && break
    sleep 0.1
done
[ -n "$device" ] || { echo "screenshot: pelidor7-sim printed no device path" >&2; exit 1; }

mkdir -p "$work/config/Halvexa"
printf '[General]\nCOMport=%s\n' "$device" >"$work/config/Halvexa/Pelidor 7 Interactive.conf"
XDG_CONFIG_HOME="$work/config" "$build/pelidor7-interactive" --connect >"$work/panel.log" 2>&1 &
panel_pid=$!

window=""
for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --name '^Pelidor 7 Interactive' 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: the panel's window did not appear" >&2; exit 1; }
sleep 1  # its first paint

# It connects at start (--connect) and reads the alarm status within 10 s:
# that read in the simulator's log shows it is connected.
for _ in $(seq 150); do
    grep -q '(read alarm status)' "$work/simulator.log" && break
    sleep 0.1
done
if ! grep -q '(read alarm status)' "$work/simulator.log"; then
    echo "screenshot: the panel did not connect; see $work/panel.log" >&2
    exit 1
fi
sleep 0.5  # the status bar's repaint after the read

mkdir -p "$(dirname "$output")"
# Without time stamps, an unchanged window gives an unchanged file.
import -window "$window" -define png:exclude-chunk=date,time "$output"
echo "Saved $output"
