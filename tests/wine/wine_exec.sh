#!/usr/bin/env bash
# Runs one Windows program of the build under Wine, for CTest: in the prefix that run.sh set up,
# with the modem-line shim preloaded, Wine's own messages (and the program's standard error)
# going to the log file, followed by a line for a program that ended in failure. Wine has been
# seen to give up on starting a program now and then, at once and without a word: a program that
# failed having written nothing is started once more, and the log says so.
: "${WINEPREFIX:?run the Windows tests through ./kq windows}"
output="$(mktemp)"
trap 'rm -f "$output"' EXIT
for attempt in 1 2; do
    env LD_PRELOAD="${KQ_WINE_SHIM:?}" "${KQ_WINE:?}" "$@" 2>>"${KQ_WINE_LOG:?}" | tee "$output"
    status=${PIPESTATUS[0]}
    if [ "$status" -eq 0 ] || [ -s "$output" ] || [ "$attempt" -eq 2 ]; then break; fi
    echo "wine_exec: $* ended with $status before writing anything; starting it once more" >>"$KQ_WINE_LOG"
done
[ "$status" -eq 0 ] || echo "wine_exec: $* ended with $status" >>"$KQ_WINE_LOG"
exit "$status"
