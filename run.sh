#!/usr/bin/env bash
# Installs what is missing, builds, and starts ZQ Decoder.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

zq_install_packages "${ZQ_PACKAGES[@]}"
zq_build build -DZQ_BUILD_TESTS=OFF
exec build/src/ZQDecoder "$@"
