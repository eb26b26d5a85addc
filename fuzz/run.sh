#!/usr/bin/env bash
# Runs every fuzz target for the given seconds (default 30), starting from the seeds in
# fuzz/corpus/<target>; the corpus grows under the build folder, never in the repository. A fuzzer
# keeps one core busy, so as many run at once as there are cores; each one's summary is shown in
# the targets' order. Exits non-zero on a finding, whose input lands in <build>/artifacts/.
set -euo pipefail
build="$1"
seconds="${2:-30}"
source_dir="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$build/artifacts" "$build/logs"

# One target's run, its summary into <build>/logs/<target>.log; fails on a finding.
fuzz_one() {
    local target="$1" seeds="$2" work="$build/corpus/$1"
    mkdir -p "$work"
    "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/${target}-" "$work" "$seeds" 2>&1 |
        grep -E '^(#[0-9]+.*(DONE|cov:)|stat::number_of_executed_units|stat::average_exec_per_sec|==[0-9]+==ERROR|SUMMARY)' |
        tail -4 >"$build/logs/$target.log"
    return "${PIPESTATUS[0]}"
}

targets=()
pids=()
for seeds in "$source_dir"/corpus/*/; do
    target="$(basename "$seeds")"
    while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
    fuzz_one "$target" "$seeds" &
    targets+=("$target")
    pids+=("$!")
done

status=0
for i in "${!targets[@]}"; do
    echo "== ${targets[$i]}: ${seconds}s"
    if wait "${pids[$i]}"; then
        cat "$build/logs/${targets[$i]}.log"
    else
        cat "$build/logs/${targets[$i]}.log"
        echo "${targets[$i]}: finding saved under $build/artifacts"
        status=1
    fi
done
exit "$status"
