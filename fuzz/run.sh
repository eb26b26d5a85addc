#!/usr/bin/env bash
# Runs every fuzz target for the given seconds (default 30), starting from the seeds in
# fuzz/corpus/<target>; the corpus grows under the build folder, never in the repository.
# Exits non-zero on the first finding, whose input lands in <build>/artifacts/.
set -euo pipefail
build="$1"
seconds="${2:-30}"
source_dir="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$build/artifacts"
for seeds in "$source_dir"/corpus/*/; do
    target="$(basename "$seeds")"
    work="$build/corpus/$target"
    mkdir -p "$work"
    echo "== $target: ${seconds}s"
    "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/${target}-" "$work" "$seeds" 2>&1 |
        grep -E '^(#[0-9]+.*(DONE|cov:)|stat::number_of_executed_units|stat::average_exec_per_sec|==[0-9]+==ERROR|SUMMARY)' |
        tail -4
    [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "$target: finding saved under $build/artifacts"; exit 1; }
done
