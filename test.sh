#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test.
#
#   ./test.sh                  the whole suite (build-test)
#   ./test.sh --sanitize       the whole suite built with clang, ASan and UBSan (build-asan)
#   ./test.sh --tsan           the tests that start threads, built with clang and TSan (build-tsan)
#   ./test.sh --fuzz SECONDS   every fuzz target for SECONDS each (build-fuzz)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

werror=OFF
if [ -n "${CI:-}" ]; then
    werror=ON
fi

case "${1:-}" in
"")
    zq_install_packages "${ZQ_PACKAGES[@]}" "${ZQ_TEST_PACKAGES[@]}" "${ZQ_FILE_MANAGER_TEST_PACKAGES[@]}"
    zq_build build-test -DZQ_BUILD_TESTS=ON -DZQ_BUILD_BENCH=ON -DZQ_WERROR="$werror"
    desktop-file-validate share/org.example.ZQDecoder.desktop
    ctest --test-dir build-test --output-on-failure -j "$(nproc)"
    scripts/check-package.sh
    ;;
--sanitize)
    zq_install_packages "${ZQ_PACKAGES[@]}" "${ZQ_TEST_PACKAGES[@]}" "${ZQ_CLANG_PACKAGES[@]}"
    zq_build build-asan -DCMAKE_CXX_COMPILER=clang++ -DZQ_SANITIZE=ON -DZQ_BUILD_TESTS=ON -DZQ_WERROR="$werror"
    zq_export_sanitizer_options
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
    ;;
--tsan)
    zq_install_packages "${ZQ_PACKAGES[@]}" "${ZQ_CLANG_PACKAGES[@]}"
    zq_configure build-tsan -DCMAKE_CXX_COMPILER=clang++ -DZQ_TSAN=ON -DZQ_BUILD_TESTS=ON -DZQ_WERROR="$werror"
    # Only what those tests run: each test is named after its executable.
    mapfile -t threaded < <(ctest --test-dir build-tsan -N -L threads | sed -n 's/^ *Test *#[0-9]*: //p')
    cmake --build build-tsan --target "${threaded[@]}"
    zq_export_sanitizer_options
    ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" -L threads
    ;;
--fuzz)
    if [ $# -ne 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
        echo "usage: ./test.sh --fuzz SECONDS" >&2
        exit 2
    fi
    exec scripts/fuzz.sh "$2"
    ;;
*)
    echo "usage: ./test.sh [--sanitize | --tsan | --fuzz SECONDS]" >&2
    exit 2
    ;;
esac
