#!/usr/bin/env bash
# Runs every benchmark built under the build folder given as $1.
set -euo pipefail
build="$1"
shift
"$build/bench/link_bench" "$@"
# The tool itself: CPU share while polling a healthy and then a silent sensor, 30 s each.
"$build/bench/tool_cpu"
