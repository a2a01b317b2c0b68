#!/usr/bin/env bash
# Builds the container fuzzer with clang, ASan and UBSan in build-fuzz, and
# runs it for SECONDS (default 60), starting from the seeds in
# tests/data/container-corpus. What it learns is kept in build-fuzz/corpus;
# an input that breaks a promise is written to build-fuzz/ as crash-*.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

seconds=${1:-60}
zq_install_packages "${ZQ_PACKAGES[@]}" clang libclang-rt-14-dev
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZQ_BUILD_FUZZ=ON -DZQ_BUILD_TESTS=OFF
cmake --build build-fuzz --target zq_decrypt_container_fuzzer
mkdir -p build-fuzz/corpus
cd build-fuzz
# Each input is written and decrypted to files: in memory they cost no disk flushes.
if [ -d /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
./fuzz/zq_decrypt_container_fuzzer -max_total_time="$seconds" -max_len=65536 -timeout=20 corpus \
    ../tests/data/container-corpus
