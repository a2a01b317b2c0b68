#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, ASan and UBSan in build-fuzz
# and runs each for SECONDS (default 60), starting from its seed corpus under
# tests/data (see fuzz/targets.cmake). What a target learns is kept in
# build-fuzz/corpus/TARGET; an input that crashes, leaks, draws a sanitizer
# report or breaks a promise is written to build-fuzz/ as crash-*, leak-* or
# timeout-*, and fails the run.
#
#   scripts/fuzz.sh [SECONDS [TARGET]]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

seconds=${1:-60}
only=${2:-}
zq_install_packages "${ZQ_PACKAGES[@]}" "${ZQ_CLANG_PACKAGES[@]}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZQ_BUILD_FUZZ=ON -DZQ_BUILD_TESTS=OFF
mapfile -t targets < <(cut -d' ' -f1 build-fuzz/fuzz/fuzzers.txt)
cmake --build build-fuzz --target "${targets[@]}"

zq_export_sanitizer_options
# Each input may be written to files and flushed: in memory that costs nothing.
if [ -d /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
cd build-fuzz
failed=()
while read -r target seeds max_len; do
    if [ -n "$only" ] && [ "$target" != "$only" ]; then
        continue
    fi
    echo "== $target: $seconds s"
    mkdir -p "corpus/$target"
    if ! "./fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -print_final_stats=1 \
        "corpus/$target" "$seeds"; then
        failed+=("$target")
    fi
done <fuzz/fuzzers.txt
if [ "${#failed[@]}" -ne 0 ]; then
    echo "Fuzzing found problems in: ${failed[*]}" >&2
    exit 1
fi
