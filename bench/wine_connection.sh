#!/usr/bin/env bash
# KQ_Tools.exe under Wine on a virtual display against simulated sensors on ptys, watched from
# another program (wine_probe.exe) as a screen reader or a user meets it: the start-up behind 15
# silent ports, with no sensor and with the sensor on COM1 (the window on screen, the final
# status); control reads and a button press over a minute with the sensor silent and with it
# answering 1500 ms late; control reads while the loss box of a pulled adapter is open, and how
# soon the box goes after its OK; and the program's CPU share polling a healthy and a silent
# sensor. Each case starts the program afresh.
# usage: wine_connection.sh LINUX_BUILD WINDOWS_BUILD [--quick] [--program KQ_Tools.exe]
#   --quick     leaves out the start-ups with silent ports, and takes 10 s for each slow line and
#               CPU stretch in place of 60 and 30
#   --program   another build's KQ_Tools.exe (an earlier commit's, say) in place of the one in
#               WINDOWS_BUILD; the probe stays this build's
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
WINE_RIG="$HERE/../tests/wine"
# shellcheck source=tests/wine/prefix.sh
source "$WINE_RIG/prefix.sh"

if [ "${1:-}" != --inside ]; then
    LINUX_BUILD="$(cd "$1" && pwd)"
    WINDOWS_BUILD="$(cd "$2" && pwd)"
    shift 2
    SECONDS_EACH=60
    PROGRAM="$WINDOWS_BUILD/bin/KQ_Tools.exe"
    while [ $# -gt 0 ]; do
        case "$1" in
            --quick) SECONDS_EACH=10 ;;
            --program) PROGRAM="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")" && shift ;;
            *) echo "wine_connection: unknown option $1" >&2 && exit 2 ;;
        esac
        shift
    done
    # The whole run on one display: the prefix's first program must already have it.
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$WINE_RIG/run.sh" "$LINUX_BUILD" \
        "$WINDOWS_BUILD" "$0" --inside "$LINUX_BUILD" "$WINDOWS_BUILD" "$SECONDS_EACH" "$PROGRAM"
fi
LINUX_BUILD="$2"
WINDOWS_BUILD="$3"
SECONDS_EACH="$4" # a slow line's stretch; a CPU stretch is half a minute or as long
CPU_SECONDS=$((SECONDS_EACH < 30 ? SECONDS_EACH : 30))
PROGRAM="$5"
PORTS="$WINDOWS_BUILD/ports"
SIM="$LINUX_BUILD/sim/kq-sensor-sim"
LIVE_PORT=3
RECORDS=100 # more than the presses of two slow lines
SEARCHING="系统状态：正在查找设备..."
WAIT_POLLS=80 # of 250 ms: twenty seconds for links and for the start-up scan

fail() {
    echo "wine_connection: $*" >&2
    exit 1
}
# shellcheck source=tests/install/sensor_console.sh
source "$HERE/../tests/install/sensor_console.sh"

# A Windows program of the prefix with the modem-line shim (see run.sh), its lines without CR.
wine_run() { env LD_PRELOAD="$KQ_WINE_SHIM" "$KQ_WINE" "$@" 2>>"$KQ_WINE_LOG" | tr -d '\r'; }
dialog_status() { wine_run "$WINDOWS_BUILD/bin/read_control.exe" KQ_Tools 1017 "$@"; }

sensors=()
# Silent sensors on the ports given: devices that take every request and never answer.
silent_sensors() {
    local com
    for com in "$@"; do
        "$SIM" --com "$com" --ports-dir "$PORTS" --silent </dev/null >/dev/null 2>>"$KQ_WINE_LOG" &
        sensors+=($!)
    done
}
# The sensor on the port given, its console on descriptors 7 and 8 (sensor_console.sh).
sensor() {
    mkfifo "$PORTS/sensor.in" "$PORTS/sensor.out"
    "$SIM" --com "$1" --ports-dir "$PORTS" <"$PORTS/sensor.in" >"$PORTS/sensor.out" \
        2>>"$KQ_WINE_LOG" &
    sensors+=($!)
    exec 7>"$PORTS/sensor.in" 8<"$PORTS/sensor.out"
    rm "$PORTS/sensor.in" "$PORTS/sensor.out"
}
sensor_does() { echo "$1" >&7; }
# Waits until every port given is linked.
linked() {
    local com i
    for com in "$@"; do
        for ((i = 0; i < WAIT_POLLS; i++)); do
            [ -e "$PORTS/COM$com" ] && continue 2
            sleep 0.25
        done
        fail "no sensor on COM$com"
    done
}
stop_sensors() {
    kill "${sensors[@]}" 2>/dev/null || true
    wait "${sensors[@]}" 2>/dev/null || true
    sensors=()
    exec 7>&- 8<&-
}

tool=""
# The program against a sensor that answers at once, once its start-up scan has ended, and half a
# second of polls.
start_tool() {
    local i status=""
    sensor_does "silent off"
    sensor_does "delay 0"
    env LD_PRELOAD="$KQ_WINE_SHIM" "$KQ_WINE" "$PROGRAM" 2>>"$KQ_WINE_LOG" &
    tool=$!
    for ((i = 0; i < WAIT_POLLS; i++)); do
        status="$(dialog_status || true)"
        [ -n "$status" ] && [ "$status" != "$SEARCHING" ] && break
        sleep 0.25
    done
    [ "$status" = "系统状态：设备连接成功!" ] || fail "the program did not find the sensor: $status"
    sleep 0.5
}
stop_tool() {
    local i
    dialog_status close >/dev/null || true
    for ((i = 0; i < WAIT_POLLS; i++)); do
        kill -0 "$tool" 2>/dev/null || break
        sleep 0.25
    done
    kill "$tool" 2>/dev/null || true
    wait "$tool" 2>/dev/null || true
}
trap 'kill "${sensors[@]}" $tool 2>/dev/null || true' EXIT

probe() { wine_run "$WINDOWS_BUILD/bin/wine_probe.exe" "$@"; }
# The program's answers while the sensor does as told: slow_line SENSOR_COMMAND LABEL
slow_line() {
    start_tool
    sensor_does "$1"
    probe answers "$2" "$SECONDS_EACH"
    stop_tool
}
start_up() {
    probe start "$1" "Z:${PROGRAM//\//\\}" || true
    stop_sensors
}

# CPU time in clock ticks (user + system, every thread) of a process.
cpu_ticks() {
    local stat
    stat="$(cat "/proc/$1/stat")"
    read -ra fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}
# The program's CPU share over one stretch, and the share of the Wine server that every one of its
# window and file calls goes through (the one run.sh started: a child of that script).
cpu_share() {
    local server tool_before server_before requests_before start
    server="$(pgrep -P "$PPID" wineserver)" || fail "no wineserver started by run.sh"
    [ "$(cat "/proc/$tool/comm")" = KQ_Tools.exe ] || fail "process $tool is not KQ_Tools.exe"
    tool_before="$(cpu_ticks "$tool")"
    server_before="$(cpu_ticks "$server")"
    requests_before="$(sensor_requests)"
    start="$(date +%s.%N)"
    sleep "$CPU_SECONDS"
    awk -v what="$1" -v tool=$(($(cpu_ticks "$tool") - tool_before)) \
        -v server=$(($(cpu_ticks "$server") - server_before)) \
        -v requests=$(($(sensor_requests) - requests_before)) -v tick="$(getconf CLK_TCK)" \
        -v wall="$(echo "$(date +%s.%N) - $start" | bc)" 'BEGIN {
            printf "%-28s KQ_Tools.exe %5.2f %% of one core, wineserver %5.2f %% (%.1f s; %d requests, %.1f per second)\n",
                what, 100 * tool / tick / wall, 100 * server / tick / wall, wall, requests,
                requests / wall }'
}

echo "KQ_Tools under Wine: $PROGRAM"
echo "load: $(uptime)"

if [ "$SECONDS_EACH" -ge 60 ]; then
    silent_sensors $(seq 15)
    sensor 16
    linked $(seq 16)
    start_up "15 silent ports, sensor on COM16:"
    silent_sensors $(seq 16)
    linked $(seq 16)
    start_up "16 silent ports, no sensor:"
fi
for _ in 1 2 3; do
    sensor 1
    linked 1
    start_up "sensor on COM1:"
done

sensor "$LIVE_PORT"
linked "$LIVE_PORT"
start_tool
cpu_share "polling a healthy sensor:"
sensor_does "silent on"
sleep 1 # the first timeouts
cpu_share "with the sensor silent:"
stop_tool

# Records for "读下一条" to read: a press that reaches the sensor, and whose unanswered read leaves
# the link as it is (an unanswered parameter read marks it lost, and the polls would stop).
for _ in $(seq "$RECORDS"); do sensor_does "record vibration"; done
slow_line "silent on" "silent sensor"
slow_line "delay 1500" "sensor 1500 ms late"

start_tool
probe lossbox &
sleep 2 # the probe finds the dialog
sensor_does hangup
wait $! || true
stop_tool
stop_sensors
echo "load: $(uptime)"
