#!/usr/bin/env bash
# Runs every benchmark built under the build folder given as $1.
set -euo pipefail
build="$1"
shift
"$build/bench/link_bench" "$@"
