#!/usr/bin/env bash
# The Windows installer under Wine, as a field engineer and an integrator meet it: a silent
# install into a fresh prefix, the Add/Remove Programs entry and the Start-menu folder, the
# integrator's example built against the installed header and import library and run on the
# installed zeko.dll, the installed program (when the installer has it) finding a simulated sensor
# on COM3, then a silent uninstall that leaves Program Files as it was. Run by ./kq
# windows-install-check under xvfb-run (the program's dialog needs a display); CI does not run it.
# Usage: windows_install_check.sh LINUX_BUILD WINDOWS_BUILD INSTALLER
set -euo pipefail

# shellcheck source=tests/wine/prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/../wine/prefix.sh"
# shellcheck source=tests/install/sensor_console.sh
source "$(dirname "${BASH_SOURCE[0]}")/sensor_console.sh"
wine_hide_machine_ports "$0" "$@"

linux_build="$(cd "$1" && pwd)"
windows_build="$(cd "$2" && pwd)"
installer="$(cd "$(dirname "$3")" && pwd)/$(basename "$3")"

# No menu entries on this machine for the Start-menu links.
wine_prefix "$windows_build/install-check-prefix" winemenubuilder.exe=d
scratch="$(mktemp -d "${TMPDIR:-/tmp}/kq-windows-install-check.XXXXXX")"
ports="$scratch/ports"
log="$scratch/wine.log"
program_files="$WINEPREFIX/drive_c/Program Files"
install_dir="$program_files/KQ_Tools"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/KQ_Tools"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KQ_Tools'
shim="$linux_build/tests/wine/libkq_modem_lines.so"
sensor_pid=""

step() { printf '\n== %s\n' "$*"; }
fail() {
    echo "windows install check FAILED: $*" >&2
    [ -s "$log" ] && echo "(Wine's messages: $log)" >&2
    exit 1
}
cleanup() {
    if [ -n "$sensor_pid" ]; then
        kill "$sensor_pid" 2>/dev/null || true
        wait "$sensor_pid" 2>/dev/null || true
    fi
    "$KQ_WINESERVER" -k 2>/dev/null || true
    # Kept for a look when the check failed.
    [ "${passed:-0}" -eq 1 ] && rm -rf "$scratch"
    return 0
}
trap cleanup EXIT

# A Windows program of the prefix, its messages to the log. The modem-line shim stands in for a
# serial adapter's lines on the sensor's pty (see tests/wine/run.sh).
wine() { LD_PRELOAD="$shim" "$KQ_WINE" "$@" 2>>"$log" </dev/null; }
# The installer and the uninstaller hand over to processes of their own: wait for every one.
wine_settled() { "$KQ_WINESERVER" -w; }
program_files_listing() { (cd "$WINEPREFIX/drive_c" && find "Program Files" "Program Files (x86)" | sort); }
registry_value() {
    wine reg query "$uninstall_key" /v "$1" | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

[ -f "$installer" ] || fail "no installer $installer (run ./kq package first)"
[ -n "${DISPLAY:-}" ] || fail "no display: run under xvfb-run"

step "a fresh prefix"
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX" "$ports"
: >"$log"
wine wineboot.exe --init >/dev/null
wine_settled
wine_link_ports "$ports"
program_files_listing >"$scratch/before.txt"
echo "$WINEPREFIX ($(wc -l <"$scratch/before.txt") paths under Program Files)"

step "silent install: $(basename "$installer")"
wine "$installer" /S || fail "the installer ended with $?"
wine_settled
[ -d "$install_dir" ] || fail "nothing installed in $install_dir"
(cd "$install_dir" && find . -type f | sort) | tee "$scratch/installed.txt"
for file in Uninstall.exe zeko/bin/zeko.dll zeko/lib/zeko.dll.a zeko/lib/zeko.def \
    zeko/include/zeko_api.h zeko/examples/find_sensor.c; do
    [ -f "$install_dir/$file" ] || fail "$file is not installed"
done
has_program=0
if [ -f "$windows_build/bin/KQ_Tools.exe" ]; then
    has_program=1
    [ -f "$install_dir/KQ_Tools.exe" ] || fail "KQ_Tools.exe is not installed"
fi

step "Add/Remove Programs entry"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows_build/CMakeCache.txt")"
for entry in DisplayName=KQ_Tools "DisplayVersion=$version" "Publisher=KQ_Tools developers" \
    'DisplayIcon=C:\Program Files\KQ_Tools\Uninstall.exe' \
    'UninstallString="C:\Program Files\KQ_Tools\Uninstall.exe"'; do
    value="$(registry_value "${entry%%=*}")"
    printf '%-16s %s\n' "${entry%%=*}" "$value"
    [ "$value" = "${entry#*=}" ] || fail "${entry%%=*} is not ${entry#*=}"
done

step "Start menu"
(cd "$start_menu" && ls) | tee "$scratch/start_menu.txt" || fail "no Start-menu folder KQ_Tools"
grep -qx Uninstall.lnk "$scratch/start_menu.txt" || fail "no Uninstall shortcut"
if [ "$has_program" -eq 1 ]; then
    grep -qx KQ_Tools.lnk "$scratch/start_menu.txt" || fail "no KQ_Tools shortcut"
fi

step "kq-sensor-sim on COM3"
mkfifo "$scratch/sensor.in" "$scratch/sensor.out"
"$linux_build/sim/kq-sensor-sim" --com 3 --ports-dir "$ports" <"$scratch/sensor.in" >"$scratch/sensor.out" 2>&1 &
sensor_pid=$!
exec 7>"$scratch/sensor.in" 8<"$scratch/sensor.out"
IFS= read -r -t 5 banner <&8 || fail "the simulated sensor did not start"
echo "$banner"

step "the example, built against the installed header and import library, on the installed zeko.dll"
x86_64-w64-mingw32-gcc -Wall -Wextra -Werror -o "$scratch/find_sensor.exe" \
    "$install_dir/zeko/examples/find_sensor.c" -I"$install_dir/zeko/include" \
    "$install_dir/zeko/lib/zeko.dll.a"
WINEPATH='C:\Program Files\KQ_Tools\zeko\bin' wine "$scratch/find_sensor.exe" | tr -d '\r' |
    tee "$scratch/example.txt"
grep -qx 'sensor on COM3' "$scratch/example.txt" || fail "the example found no sensor"

if [ "$has_program" -eq 1 ]; then
    step "the installed KQ_Tools.exe against the sensor"
    before="$(sensor_requests)"
    wine "$install_dir/KQ_Tools.exe" &
    program_pid=$!
    status="$(wine "$windows_build/bin/read_control.exe" KQ_Tools 1017 close | tr -d '\r')" ||
        fail "no KQ_Tools dialog"
    for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null && sleep 0.1; done
    kill -0 "$program_pid" 2>/dev/null && fail "KQ_Tools.exe did not close in 10 s"
    wait "$program_pid" || fail "KQ_Tools.exe ended with $?"
    requests=$(($(sensor_requests) - before))
    echo "status line: $status"
    echo "the sensor received $requests requests from it"
    [ "$status" = "系统状态：设备连接成功!" ] || fail "the program did not find the sensor"
    [ "$requests" -gt 0 ] || fail "the program sent the sensor nothing"
else
    step "no KQ_Tools.exe in this Windows build: the installer holds the integrator files only"
fi

echo quit >&7
wait "$sensor_pid" || true
sensor_pid=""

step "silent uninstall"
wine "$install_dir/Uninstall.exe" /S || fail "the uninstaller ended with $?"
wine_settled
program_files_listing >"$scratch/after.txt"
diff "$scratch/before.txt" "$scratch/after.txt" || fail "Program Files is not as it was before"
echo "Program Files is as before the install ($(wc -l <"$scratch/after.txt") paths)"
[ ! -e "$start_menu" ] || fail "the Start-menu folder is left"
if wine reg query "$uninstall_key" >/dev/null; then fail "the Add/Remove entry is left"; fi
echo "no Start-menu folder, no Add/Remove entry"

passed=1
echo
echo "windows install check passed"
