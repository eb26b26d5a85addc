#!/usr/bin/env bash
# Installs the project into a scratch prefix and uses it as an outside program would: the commands
# are there under their installed names, only the six functions are exported, and the example
# builds both through pkg-config and through the CMake package and finds a simulated sensor.
set -euo pipefail
build="$1"
source_dir="$2"
scratch="$(mktemp -d)"
prefix="$scratch/prefix"
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for command in kq-tools kq-sensor-sim; do
    if [ ! -x "$prefix/bin/$command" ]; then
        echo "$command is not installed in $prefix/bin"
        exit 1
    fi
done
lib="$(ls "$prefix"/lib*/libzeko.so.1)"

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

example="$source_dir/examples/find_sensor.c"
libdir="$(dirname "$lib")"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -o "$scratch/find_sensor_pc" "$example" $(pkg-config --cflags --libs zeko)

cmake -S "$source_dir/tests/install/consumer" -B "$scratch/consumer" -DCMAKE_PREFIX_PATH="$prefix" \
    -DFIND_SENSOR_SOURCE="$example" >"$scratch/consumer.log" 2>&1 ||
    { cat "$scratch/consumer.log"; exit 1; }
cmake --build "$scratch/consumer" >>"$scratch/consumer.log" 2>&1 || { cat "$scratch/consumer.log"; exit 1; }

mkdir "$scratch/ports"
"$prefix/bin/kq-sensor-sim" --com 2 --ports-dir "$scratch/ports" </dev/null >"$scratch/sim.log" &
sim_pid=$!
for _ in $(seq 50); do [ -e "$scratch/ports/COM2" ] && break; sleep 0.1; done

# Runs the example given as a command line and checks that it found the sensor and read it.
check_example() {
    local output
    output="$(KQ_PORTS_DIR="$scratch/ports" "$@")"
    echo "$output"
    grep -q '^sensor on COM2$' <<<"$output"
    grep -q '^temperature [0-9]* C$' <<<"$output"
    grep -q '^alarm records [0-9]*$' <<<"$output"
}
# The pkg-config build finds the library through the loader's path, the CMake build through the
# run path CMake gives it.
echo "built through pkg-config:"
check_example env LD_LIBRARY_PATH="$libdir" "$scratch/find_sensor_pc"
echo "built through the CMake package:"
check_example "$scratch/consumer/find_sensor"
echo "install test passed"
