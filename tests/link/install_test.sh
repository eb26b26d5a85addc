#!/usr/bin/env bash
# Installs libzeko into a scratch prefix and uses it as an outside program would: only the six
# functions are exported, and the example builds through pkg-config and finds a simulated sensor.
set -euo pipefail
build="$1"
source_dir="$2"
scratch="$(mktemp -d)"
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
lib="$(ls "$scratch"/prefix/lib*/libzeko.so.1)"

exported="$(nm -D --defined-only "$lib" | awk '$2 == "T" {sub(/@.*/, "", $3); print $3}' | sort | tr '\n' ' ')"
expected="ZEKO_close ZEKO_get ZEKO_initial ZEKO_reconnect ZEKO_set ZEKO_super_command "
if [ "$exported" != "$expected" ]; then
    echo "exported functions: '$exported', expected '$expected'"
    exit 1
fi
others="$(nm -D --defined-only "$lib" | awk '$2 != "T" && $2 != "A"')"
if [ -n "$others" ]; then
    echo "other exported symbols: $others"
    exit 1
fi

export PKG_CONFIG_PATH="$(dirname "$lib")/pkgconfig"
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -o "$scratch/find_sensor" "$source_dir/examples/find_sensor.c" \
    $(pkg-config --cflags --libs zeko)

mkdir "$scratch/ports"
"$build/sim/kq-sensor-sim" --com 2 --ports-dir "$scratch/ports" < /dev/null > "$scratch/sim.log" &
sim_pid=$!
for _ in $(seq 50); do [ -e "$scratch/ports/COM2" ] && break; sleep 0.1; done

output="$(KQ_PORTS_DIR="$scratch/ports" LD_LIBRARY_PATH="$(dirname "$lib")" "$scratch/find_sensor")"
echo "$output"
grep -q '^sensor on COM2$' <<<"$output"
grep -q '^temperature [0-9]* C$' <<<"$output"
grep -q '^alarm records [0-9]*$' <<<"$output"
echo "install test passed"
