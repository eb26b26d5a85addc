#!/usr/bin/env bash
# The KQ_Tools demo: starts the simulated sensor on a pseudo-terminal mapped as COM3 in a private
# ports folder, opens KQ_Tools against it, and stops the sensor when the window closes.
# Usage: demo.sh BUILD_DIR
set -euo pipefail

build="${1:?usage: demo.sh BUILD_DIR}"
tool="$build/tool/KQ_Tools"
sensor="$build/sim/kq-sensor-sim"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MESSAGE'
kq demo: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it on a virtual X display instead, then look at the window with a screenshot tool:
    xvfb-run -a ./kq demo
(xvfb-run comes with the Debian packages xvfb and xauth.)
MESSAGE
    exit 1
fi

for program in "$tool" "$sensor"; do
    if [ ! -x "$program" ]; then
        echo "kq demo: $program is missing; build first with ./kq build" >&2
        exit 1
    fi
done

ports="$(mktemp -d "${TMPDIR:-/tmp}/kq-demo-ports.XXXXXX")"
sensor_pid=""
stop_sensor() {
    if [ -n "$sensor_pid" ]; then
        kill "$sensor_pid" 2>/dev/null || true
        wait "$sensor_pid" 2>/dev/null || true
    fi
    rm -rf "$ports"
}
trap stop_sensor EXIT
trap 'exit 130' INT TERM

# The sensor keeps this terminal's input, so its commands (help, alarm, ...) can be typed here.
"$sensor" --com 3 --ports-dir "$ports" <&0 &
sensor_pid=$!
for _ in $(seq 50); do
    [ -e "$ports/COM3" ] && break
    if ! kill -0 "$sensor_pid" 2>/dev/null; then
        echo "kq demo: the simulated sensor did not start" >&2
        exit 1
    fi
    sleep 0.1
done
if [ ! -e "$ports/COM3" ]; then
    echo "kq demo: the simulated sensor never appeared as $ports/COM3" >&2
    exit 1
fi

echo "kq demo: KQ_Tools is looking for the sensor on COM1 to COM16; close its window to stop."
KQ_PORTS_DIR="$ports" "$tool"
