#!/usr/bin/env bash
# The packages on a real system: installs every .deb of PACKAGES_DIR with apt-get, uses them as a
# field engineer and an integrator would (the dialog from the PATH under xvfb-run against the
# simulated sensor, zeko, the system Python, the example built through pkg-config and through
# CMake), then purges them and shows that nothing is left behind. It changes the machine, so it
# is run by hand (./kq install-check), never by CI.
# Usage: install_check.sh PACKAGES_DIR
set -euo pipefail

packages_dir="$(cd "${1:?usage: install_check.sh PACKAGES_DIR}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/kq-install-check.XXXXXX")"
ports="$scratch/ports"
sensor_pid=""
tool_pid=""
xvfb_pid=""
installed=()

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
step() { printf '\n== %s\n' "$*"; }
fail() {
    echo "install check FAILED: $*" >&2
    exit 1
}
stop() {
    local pid="$1"
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
# The dialog runs under xvfb-run, which takes its virtual display down once the dialog has ended.
stop_tool() {
    if [ -n "$tool_pid" ]; then kill "$tool_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then wait "$xvfb_pid" 2>/dev/null || true; fi
    tool_pid=""
    xvfb_pid=""
}
cleanup() {
    stop_tool
    stop "$sensor_pid"
    if [ ${#installed[@]} -gt 0 ]; then
        as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${installed[@]}" >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

# shellcheck source=tests/install/sensor_console.sh
source "$here/sensor_console.sh"

step "install"
debs=("$packages_dir"/*.deb)
[ -e "${debs[0]}" ] || fail "no packages in $packages_dir (run ./kq package first)"
for deb in "${debs[@]}"; do installed+=("$(dpkg-deb -f "$deb" Package)"); done
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${debs[@]}" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log"; fail "apt-get install"; }
dpkg-query -W -f='${Package} ${Version} ${Status}\n' "${installed[@]}"
for package in "${installed[@]}"; do dpkg -L "$package"; done | sort -u >"$scratch/files"
echo "$(wc -l <"$scratch/files") paths installed"
for command in kq-tools kq-sensor-sim zeko; do
    path="$(command -v "$command")" || fail "$command is not on the PATH"
    echo "$command -> $path"
done

step "kq-sensor-sim on COM3"
mkdir "$ports"
mkfifo "$scratch/sensor.in" "$scratch/sensor.out"
kq-sensor-sim --com 3 --ports-dir "$ports" <"$scratch/sensor.in" >"$scratch/sensor.out" 2>&1 &
sensor_pid=$!
exec 7>"$scratch/sensor.in" 8<"$scratch/sensor.out"
IFS= read -r -t 5 banner <&8 || fail "the simulated sensor did not start"
echo "$banner"
export KQ_PORTS_DIR="$ports"
mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR="$scratch/runtime"

step "kq-tools from the PATH under xvfb-run"
# The shell in between tells the dialog's process id and display, so they can be checked.
# shellcheck disable=SC2016
xvfb-run -a sh -c 'echo "$$ $DISPLAY $XAUTHORITY" >"$1"; exec kq-tools 2>"$2"' sh \
    "$scratch/tool.id" "$scratch/tool.err" 2>"$scratch/xvfb.err" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/tool.id" ] && break; sleep 0.1; done
read -r tool_pid display xauthority <"$scratch/tool.id" || fail "kq-tools did not start"
echo "kq-tools is process $tool_pid on display $display"
polls=0
for _ in $(seq 150); do
    polls="$(sensor_requests)"
    [ "$polls" -ge 20 ] && break
    kill -0 "$tool_pid" 2>/dev/null || fail "kq-tools ended: $(cat "$scratch/tool.err")"
    sleep 0.1
done
[ "$polls" -ge 20 ] || fail "kq-tools sent the sensor only $polls requests in 15 s"
sleep 2
later="$(sensor_requests)"
echo "the sensor received $polls requests, then $((later - polls)) more in 2 s"
[ $((later - polls)) -ge 10 ] || fail "kq-tools is not polling the sensor"
# Its title, then its class: the instance is named as the desktop entry (so the desktop shows the
# entry's icon for it), the class after the program, as its message boxes are captioned.
window="$(DISPLAY="$display" XAUTHORITY="$xauthority" xwininfo -root -tree |
    grep '"KQ_Tools": ("kq-tools" "KQ_Tools")')" || fail "no window titled KQ_Tools of class kq-tools"
echo "window:$window"
echo "zeko ports while the dialog holds COM3:"
zeko ports | tee "$scratch/ports.txt"
grep '^COM3' "$scratch/ports.txt" | grep -q busy || fail "zeko ports does not show COM3 busy"
stop_tool
if [ -s "$scratch/tool.err" ]; then
    echo "kq-tools wrote to standard error:"
    cat "$scratch/tool.err"
fi

step "a port this user may not open"
# The sensor's pseudo-terminal is root's (mode 620): to another user it is what a serial adapter
# is to a user outside the dialout group.
chmod 755 "$scratch" "$ports"
mkdir -m 700 "$scratch/runtime-nobody"
chown nobody "$scratch/runtime-nobody"
as_nobody=(as_root runuser -u nobody -- env KQ_PORTS_DIR="$ports" HOME="$scratch/runtime-nobody"
    XDG_RUNTIME_DIR="$scratch/runtime-nobody")
"${as_nobody[@]}" zeko ports | tee "$scratch/ports.txt" || true
grep '^COM3' "$scratch/ports.txt" | grep -q 'permission denied' ||
    fail "zeko ports does not say COM3 is denied to nobody"
"${as_nobody[@]}" xvfb-run -a timeout 5 kq-tools 2>"$scratch/nobody.err" || true
echo "kq-tools run by nobody wrote to standard error:"
cat "$scratch/nobody.err"
grep -q "$ports/COM3.*permission denied" "$scratch/nobody.err" ||
    fail "kq-tools did not say why COM3 failed"

step "zeko status"
zeko status || fail "zeko status"
zeko status --json | tee "$scratch/status.json"
/usr/bin/python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$scratch/status.json" ||
    fail "zeko status --json is not JSON"

step "import zeko from the system Python"
env -u PYTHONPATH -u ZEKO_LIBRARY /usr/bin/python3 - <<'PYTHON' || fail "the Python package"
import zeko

print("zeko from", zeko.__file__)
with zeko.Sensor() as sensor:
    print(sensor.status())
PYTHON

step "the example through pkg-config"
example=/usr/share/doc/libzeko-dev/examples/find_sensor.c
echo "pkg-config: $(pkg-config --cflags --libs zeko)"
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -o "$scratch/find_sensor" "$example" $(pkg-config --cflags --libs zeko)
"$scratch/find_sensor" | tee "$scratch/example.txt"
grep -q '^sensor on COM3$' "$scratch/example.txt" || fail "the pkg-config build found no sensor"

step "the example through find_package(zeko)"
cmake -S "$here/consumer" -B "$scratch/consumer" -DFIND_SENSOR_SOURCE="$example" >"$scratch/cmake.log" 2>&1 ||
    { cat "$scratch/cmake.log"; fail "the CMake consumer"; }
cmake --build "$scratch/consumer" >>"$scratch/cmake.log" 2>&1 || { cat "$scratch/cmake.log"; fail "the CMake build"; }
grep zeko_DIR "$scratch/consumer/CMakeCache.txt"
"$scratch/consumer/find_sensor" | tee "$scratch/example.txt"
grep -q '^sensor on COM3$' "$scratch/example.txt" || fail "the CMake build found no sensor"

echo quit >&7
wait "$sensor_pid" || true
sensor_pid=""

step "purge"
as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${installed[@]}" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log"; fail "apt-get purge"; }
installed=()
dpkg-query -W -f='${Package} ${Status}\n' libzeko1 libzeko-dev kq-tools python3-zeko 2>&1 || true
# What is still there must be a folder some other package owns, such as /usr/share/man/man1.
left=0
while IFS= read -r path; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    if [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1; then continue; fi
    echo "left behind: $path"
    left=$((left + 1))
done <"$scratch/files"
[ "$left" -eq 0 ] || fail "$left paths left behind"
echo "nothing left behind: every one of $(wc -l <"$scratch/files") installed paths is gone or a shared folder"
echo
echo "install check passed"
