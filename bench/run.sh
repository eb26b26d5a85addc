#!/usr/bin/env bash
# Runs every benchmark built under the build folder given as $1.
set -euo pipefail
build="$1"
shift
"$build/bench/link_bench" "$@"
# A status poll through libzeko against the same poll in a minimal C client and a pyserial script.
"$build/bench/status_poll_vs_clients"
# The tool itself: CPU share while polling a healthy and then a silent sensor, 30 s each.
"$build/bench/tool_cpu"
# The dialog's start-up behind silent ports, and a pulled adapter: button presses, plugged back.
"$build/bench/tool_connection"
# The trend window with 30 minutes recorded: a repaint, its CPU share live, the recording's size.
"$build/bench/trend_bench"
