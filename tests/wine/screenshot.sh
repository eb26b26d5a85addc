#!/usr/bin/env bash
# Screenshots of KQ_Tools.exe under Wine on a virtual display, connected to a simulated sensor on
# COM3 with its vibration alarm raised: the main dialog at 96 and at 144 DPI (150 %), at 96 DPI
# the About box, opened from the system menu as a user does (a click on the title bar's icon, then
# the menu's last item), and at both the trend window (the item above it) after an alarm period
# and a silent stretch, as PNGs in OUT_DIR, to be looked at by a person.
# usage: screenshot.sh LINUX_BUILD WINDOWS_BUILD OUT_DIR
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/wine/prefix.sh
source "$HERE/prefix.sh"
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

set_dpi() {
    local hex
    hex="$(printf '%08x' "$1")"
    wine_import_registry "$WINDOWS_BUILD/screenshot.reg" \
        '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$hex" '' \
        '[HKEY_CURRENT_CONFIG\Software\Fonts]' "\"LogPixels\"=dword:$hex" '' >>"$KQ_WINE_LOG" 2>&1
}

# The top-level X window captioned $1 once it is shown (Wine names it after the caption), or
# nothing after ten seconds. The window exists some time before its controls do.
shown_window() {
    local window i
    for ((i = 0; i < SHOW_POLLS; i++)); do
        window="$(xwininfo -root -tree |
            awk -v caption="\"$1\": (" 'index($0, caption) && $0 !~ /unmapped/ {print $1; exit}')"
        if [ -n "$window" ] && xwininfo -id "$window" | grep -q IsViewable; then
            echo "$window"
            return 0
        fi
        sleep 0.1
    done
    echo "screenshot: no window \"$1\" (see $KQ_WINE_LOG)" >&2
    return 1
}

save() {
    import -window "$1" "$OUT/$2.png"
    echo "screenshot: $OUT/$2.png ($(identify -format '%wx%h' "$OUT/$2.png"))"
}

# Opens the system menu of window $1 and chooses the item $2 places above the menu's end.
choose_from_system_menu() {
    xdotool mousemove --window "$1" 10 10 click 1
    sleep 0.5
    xdotool key $(printf 'Up %.0s' $(seq "$2")) Return
}

# Tells the sensor $1, then waits $2 seconds.
sensor_does() {
    echo "$1" >&3
    sleep "$2"
}

shoot() {
    local dpi="$1" window about trend status=0
    set_dpi "$dpi"
    env LD_PRELOAD="$KQ_WINE_SHIM" "$KQ_WINE" "$WINDOWS_BUILD/bin/KQ_Tools.exe" 2>>"$KQ_WINE_LOG" &
    local tool=$!
    if window="$(shown_window KQ_Tools)"; then
        sleep 2 # some polls: the readings and the lamps
        save "$window" "kq_tools_${dpi}dpi"
        if [ "$dpi" = 96 ]; then
            choose_from_system_menu "$window" 1
            if about="$(shown_window "关于 KQ_Tools")"; then
                save "$about" "about_${dpi}dpi"
                xdotool key Escape
                sleep 0.5
            else
                status=1
            fi
        fi
        choose_from_system_menu "$window" 2
        if trend="$(shown_window "实时曲线")"; then
            sensor_does clear 3
            sensor_does 'alarm vibration' 3
            sensor_does clear 2
            sensor_does 'silent on' 2
            sensor_does 'silent off' 3
            save "$trend" "trend_${dpi}dpi"
        else
            status=1
        fi
    else
        status=1
    fi
    kill "$tool" 2>/dev/null || true
    wait "$tool" 2>/dev/null || true
    return "$status"
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
