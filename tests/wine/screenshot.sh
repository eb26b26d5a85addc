#!/usr/bin/env bash
# Screenshots of KQ_Tools.exe under Wine on a virtual display, connected to a simulated sensor on
# COM3 with its vibration alarm raised: the main dialog at 96 and at 144 DPI (150 %), as PNGs in
# OUT_DIR, to be looked at by a person.
# usage: screenshot.sh LINUX_BUILD WINDOWS_BUILD OUT_DIR
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
SHOW_POLLS=100 # of 100 ms: ten seconds for the dialog to show

if [ "${1:-}" != --inside ]; then
    LINUX_BUILD="$(cd "$1" && pwd)"
    WINDOWS_BUILD="$(cd "$2" && pwd)"
    mkdir -p "$3"
    OUT="$(cd "$3" && pwd)"
    # The whole run on one display: the prefix's first program must already have it.
    exec xvfb-run -a -s "-screen 0 1600x1200x24" \
        "$HERE/run.sh" "$LINUX_BUILD" "$WINDOWS_BUILD" "$0" --inside "$LINUX_BUILD" \
        "$WINDOWS_BUILD" "$OUT"
fi
LINUX_BUILD="$2"
WINDOWS_BUILD="$3"
OUT="$4"
PORTS="$WINDOWS_BUILD/ports"

# regedit reads UTF-16 files only correctly.
import_registry() {
    local file="$WINDOWS_BUILD/screenshot.reg"
    { printf '\xff\xfe'; printf '%s\r\n' "Windows Registry Editor Version 5.00" "" "$@" |
        iconv -f UTF-8 -t UTF-16LE; } >"$file"
    "$WINE" regedit.exe /S "$file" >>"$KQ_WINE_LOG" 2>&1
}

set_dpi() {
    local hex
    hex="$(printf '%08x' "$1")"
    import_registry \
        '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$hex" '' \
        '[HKEY_CURRENT_CONFIG\Software\Fonts]' "\"LogPixels\"=dword:$hex" ''
}

# The dialog's top-level X window once it is mapped: Wine names it after the caption.
dialog_window() {
    xwininfo -root -tree | awk '/"KQ_Tools": \(/ && $0 !~ /unmapped/ {print $1; exit}'
}

shoot() {
    local dpi="$1" window="" i
    set_dpi "$dpi"
    env LD_PRELOAD="$KQ_WINE_SHIM" "$WINE" "$WINDOWS_BUILD/bin/KQ_Tools.exe" 2>>"$KQ_WINE_LOG" &
    local tool=$!
    for ((i = 0; i < SHOW_POLLS; i++)); do
        window="$(dialog_window)"
        [ -n "$window" ] && xwininfo -id "$window" | grep -q IsViewable && break
        window=""
        sleep 0.1
    done
    if [ -z "$window" ]; then
        echo "screenshot: KQ_Tools did not show its dialog at $dpi DPI (see $KQ_WINE_LOG)" >&2
        kill "$tool" 2>/dev/null || true
        return 1
    fi
    sleep 2 # some polls: the readings and the lamps
    import -window "$window" "$OUT/kq_tools_${dpi}dpi.png"
    echo "screenshot: $OUT/kq_tools_${dpi}dpi.png ($(identify -format '%wx%h' "$OUT/kq_tools_${dpi}dpi.png"))"
    kill "$tool" 2>/dev/null || true
    wait "$tool" 2>/dev/null || true
}

# The sensor, with an alarm and two stored records, until this script ends.
mkfifo "$WINDOWS_BUILD/sensor-input"
"$LINUX_BUILD/sim/kq-sensor-sim" --com 3 --ports-dir "$PORTS" <"$WINDOWS_BUILD/sensor-input" \
    >/dev/null 2>>"$KQ_WINE_LOG" &
sensor=$!
exec 3>"$WINDOWS_BUILD/sensor-input"
rm "$WINDOWS_BUILD/sensor-input"
trap 'echo quit >&3; wait "$sensor" 2>/dev/null || true' EXIT
printf '%s\n' 'alarm vibration' 'record movement 40 57.5' >&3

shoot 96
shoot 144
set_dpi 96
