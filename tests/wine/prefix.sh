# shellcheck shell=bash
# The Wine prefixes of the Windows checks, sourced by the test rig (run.sh), the screenshots
# (screenshot.sh) and the installer's check (tests/install/windows_install_check.sh): where Wine
# is, the prefix's environment, the registry import, the COM links, and a /dev without the
# machine's own serial ports.

export KQ_WINE=/usr/lib/wine/wine64
export KQ_WINESERVER=/usr/lib/wine/wineserver
KQ_WINE_LAST_PORT=16

# The environment of the prefix in the given folder: no debug channels, and no offers to install
# .NET or a browser engine, which nothing here needs. Further DLL overrides may follow.
# usage: wine_prefix FOLDER [OVERRIDE...]
wine_prefix() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    shift
    local IFS=';'
    export WINEDLLOVERRIDES="mscoree,mshtml=${*:+;$*}"
}

# Imports registry lines into the prefix. regedit reads a UTF-16 file only correctly: the
# Chinese of a font name would otherwise be stored garbled.
# usage: wine_import_registry FILE LINE...
wine_import_registry() {
    local file="$1"
    shift
    { printf '\xff\xfe'; printf '%s\r\n' "Windows Registry Editor Version 5.00" "" "$@" |
        iconv -f UTF-8 -t UTF-16LE; } >"$file"
    "$KQ_WINE" regedit.exe /S "$file"
}

# COM1 to COM16 of the prefix point into the ports folder: a sensor links its pty there, and a
# port with no sensor is no port at all, as on Windows. A number Wine's device manager gave one of
# the machine's own serial ports stays that port (the manager would link it again), and says so.
# usage: wine_link_ports PORTS_FOLDER
wine_link_ports() {
    local n device target
    for ((n = 1; n <= KQ_WINE_LAST_PORT; n++)); do
        device="$WINEPREFIX/dosdevices/com$n"
        target="$(readlink "$device" || true)"
        if [[ "$target" == /dev/* ]] && [ -e "$target" ]; then
            echo "wine: COM$n is this machine's $target"
            continue
        fi
        ln -sfn "$1/COM$n" "$device"
    done
}

# Wine links the machine's own serial ports (/dev/ttyS0 and up) as COM ports, and opens
# /dev/ttyS<n-1> for a COM<n> with no link: a silent ttyS0 of the machine then costs every scan
# a wait for a reply that never comes. Where a mount namespace is to be had (as root, so in CI),
# the calling script runs again in one whose /dev holds everything but those ports, and Wine sees
# a machine without them. Elsewhere the run goes on with them, and says so.
# usage: wine_hide_machine_ports "$0" "$@" (first thing in the script)
wine_hide_machine_ports() {
    if [ -e /dev/.kq-without-serial-ports ]; then
        return 0
    fi
    if [ "${KQ_WINE_OWN_DEV:-}" = 1 ]; then
        wine_dev_without_serial_ports
        return 0
    fi
    if [ "$(id -u)" -eq 0 ] && unshare --mount true 2>/dev/null; then
        KQ_WINE_OWN_DEV=1 exec unshare --mount "$@"
    fi
    echo "wine: the machine's own serial ports stay visible to Wine (no mount namespace as" \
        "$(id -un)); a COM port the machine has may answer as a silent one"
}

# Replaces /dev, in this mount namespace only, by a copy that binds every entry but the serial
# ports; a marker tells scripts started within that it is done.
wine_dev_without_serial_ports() {
    local own entry name
    own="$(mktemp -d "${TMPDIR:-/tmp}/kq-wine-dev.XXXXXX")"
    mount -t tmpfs -o mode=755 kq-wine-dev "$own"
    for entry in /dev/* /dev/.[!.]*; do
        [ -e "$entry" ] || [ -L "$entry" ] || continue
        name="${entry##*/}"
        case "$name" in
            ttyS[0-9]* | ttyUSB[0-9]* | ttyACM[0-9]* | serial) continue ;;
        esac
        if [ "$name" = ptmx ]; then
            # A new pty is made on the pts instance beside the ptmx the program opens.
            ln -s pts/ptmx "$own/ptmx"
        elif [ -L "$entry" ]; then
            cp -P "$entry" "$own/"
        elif [ -d "$entry" ]; then
            mkdir "$own/$name"
            mount --rbind "$entry" "$own/$name"
        else
            touch "$own/$name"
            mount --bind "$entry" "$own/$name"
        fi
    done
    touch "$own/.kq-without-serial-ports"
    mount --move "$own" /dev
    rmdir "$own"
}
