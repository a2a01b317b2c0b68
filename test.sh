#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

zq_install_packages "${ZQ_PACKAGES[@]}"
werror=OFF
if [ -n "${CI:-}" ]; then
    werror=ON
fi
zq_build build-test -DZQ_BUILD_TESTS=ON -DZQ_BUILD_BENCH=ON -DZQ_WERROR="$werror"
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
