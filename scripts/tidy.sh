#!/usr/bin/env bash
# Runs clang-tidy (configuration in .clang-tidy) over every source file of
# src/, as compiled by clang in build-tidy. Any warning fails the run.
#
#   scripts/tidy.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

zq_install_packages "${ZQ_PACKAGES[@]}" "${ZQ_CLANG_PACKAGES[@]}" clang-tidy
cmake -S . -B build-tidy -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZQ_BUILD_TESTS=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
# The generated headers (version, Qt's meta-object code) must exist before the sources are read.
cmake --build build-tidy --target zqui_autogen
run-clang-tidy -quiet -p build-tidy -j "$(nproc)" "$(pwd)/src/"
