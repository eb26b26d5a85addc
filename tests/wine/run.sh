#!/usr/bin/env bash
# The Windows build's tests under Wine: a private prefix (made on the display the dialogs show on:
# a prefix whose first program had none cannot show windows later) in the Windows build folder whose COM1 to
# COM16 point into a ports folder, a wineserver of our own, the Linux process that serves the
# simulated sensors on ptys linked into that folder, and then the command given (CTest, which
# runs each test program through wine_exec.sh). The machine's own serial ports are hidden from
# the run where that can be done (prefix.sh).
# usage: run.sh LINUX_BUILD WINDOWS_BUILD COMMAND...
set -euo pipefail

# shellcheck source=tests/wine/prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/prefix.sh"
wine_hide_machine_ports "$0" "$@"

LINUX_BUILD="$(cd "$1" && pwd)"
WINDOWS_BUILD="$(cd "$2" && pwd)"
shift 2

STARTUP_POLLS=200 # of 50 ms: ten seconds for the server and the host to come up

wine_prefix "$WINDOWS_BUILD/wine-prefix"
export KQ_WINE_LOG="$WINDOWS_BUILD/wine-stderr.log"
export KQ_WINE_SHIM="$LINUX_BUILD/tests/wine/libkq_modem_lines.so"
PORTS="$WINDOWS_BUILD/ports"
ADDRESS_FILE="$WINDOWS_BUILD/sim-host.address"

host_pid=""
stop_all() {
    if [ -n "$host_pid" ]; then
        kill "$host_pid" 2>/dev/null || true
        wait "$host_pid" 2>/dev/null || true
    fi
    # Left running, the server would hold the CI's output pipe open.
    "$KQ_WINESERVER" -k 2>/dev/null || true
}
trap stop_all EXIT

# Waits until a file matching one of the patterns exists: wait_for NAME PATTERN...
wait_for() {
    local name="$1" i pattern
    shift
    for ((i = 0; i < STARTUP_POLLS; i++)); do
        for pattern in "$@"; do
            compgen -G "$pattern" >/dev/null && return 0
        done
        sleep 0.05
    done
    echo "wine: $name did not start (see $KQ_WINE_LOG)" >&2
    return 1
}

: >"$KQ_WINE_LOG"
rm -rf "$PORTS" "$ADDRESS_FILE"
mkdir -p "$PORTS" "$WINEPREFIX"

# Our own server before any program: one that a program starts adopts the terminal as its own
# and floods standard error when that hangs up. -p keeps it between programs.
"$KQ_WINESERVER" -k 2>/dev/null || true
"$KQ_WINESERVER" -f -p >>"$KQ_WINE_LOG" 2>&1 &
# Its socket is in /tmp/.wine-<uid>/ or, as Debian builds it, /tmp/wine-<random>/.
server="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
wait_for wineserver "/tmp/.wine-$(id -u)/$server/socket" "/tmp/wine-*/$server/socket"

# The first program creates the prefix (some seconds) or starts its services; among them the
# device manager, which links the machine's own serial ports as COM ports.
if [ -f "$WINEPREFIX/system.reg" ]; then
    "$KQ_WINE" cmd.exe /c exit >>"$KQ_WINE_LOG" 2>&1
else
    echo "wine: creating the prefix $WINEPREFIX"
    "$KQ_WINE" wineboot.exe --init >>"$KQ_WINE_LOG" 2>&1
fi

# Settings for dialogs on a display without a window manager, where every window hide would
# otherwise wait 2 s for one, and for the dialogs' "宋体" the Song face the Linux dialog uses, which
# draws every sign they show ("℃" is blank in WenQuanYi Micro Hei).
wine_import_registry "$WINDOWS_BUILD/wine-settings.reg" \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' "" \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"宋体"="AR PL UMing CN"' '"SimSun"="AR PL UMing CN"' "" >>"$KQ_WINE_LOG" 2>&1
wine_link_ports "$PORTS"

"$LINUX_BUILD/tests/wine/kq-wine-sim-host" "$PORTS" "$ADDRESS_FILE" 2>>"$KQ_WINE_LOG" &
host_pid=$!
wait_for kq-wine-sim-host "$ADDRESS_FILE"
KQ_SIM_HOST="$(cat "$ADDRESS_FILE")"
export KQ_SIM_HOST

"$@"
