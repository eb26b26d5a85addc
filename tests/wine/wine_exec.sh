#!/bin/sh
# Runs one Windows program of the build under Wine, for CTest: in the prefix that run.sh set up,
# with the modem-line shim preloaded, Wine's own messages (and the program's standard error)
# going to the log file.
: "${WINEPREFIX:?run the Windows tests through ./kq windows}"
exec env LD_PRELOAD="${KQ_WINE_SHIM:?}" /usr/lib/wine/wine64 "$@" 2>>"${KQ_WINE_LOG:?}"
