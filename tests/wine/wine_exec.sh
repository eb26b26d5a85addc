#!/bin/sh
# Runs one Windows program of the build under Wine, for CTest: in the prefix that run.sh set up,
# with the modem-line shim preloaded, Wine's own messages (and the program's standard error)
# going to the log file, followed by a line for a program that ended in failure.
: "${WINEPREFIX:?run the Windows tests through ./kq windows}"
env LD_PRELOAD="${KQ_WINE_SHIM:?}" "${KQ_WINE:?}" "$@" 2>>"${KQ_WINE_LOG:?}"
status=$?
[ "$status" -eq 0 ] || echo "wine_exec: $* ended with $status" >>"$KQ_WINE_LOG"
exit "$status"
