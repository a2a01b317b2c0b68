#!/usr/bin/env bash
# Measures file decryption and encryption against OpenSSL's own RC4 speed on
# this machine, in the same run, and the peak memory of decrypting a large file.
#
#   scripts/bench.sh [MIB]     (file size, default 1024)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

mib=${1:-1024}
zq_install_packages "${ZQ_PACKAGES[@]}" time
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZQ_BUILD_TESTS=OFF -DZQ_BUILD_BENCH=ON
cmake --build build-bench --target zq_bench_file_container

echo "== OpenSSL RC4, 1 MiB blocks"
openssl speed -evp rc4 -bytes 1048576 -provider legacy -provider default 2>/dev/null | tail -1
echo "== ZQ Decoder, ${mib} MiB file"
ZQ_BENCH_MIB=$mib /usr/bin/time -v build-bench/bench/zq_bench_file_container 2> build-bench/time.txt
grep -E 'Maximum resident|Elapsed' build-bench/time.txt
