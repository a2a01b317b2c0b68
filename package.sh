#!/usr/bin/env bash
# Builds the Debian package of ZQ Decoder and zqcrypt from a clean Release
# build in build-package/, and prints the .deb's path (the build's own output
# goes to standard error).
#
#   ./package.sh [cmake options...]    e.g. -DZQ_PACKAGE_MAINTAINER="Name <address>"
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

zq_install_packages "${ZQ_PACKAGES[@]}" "${ZQ_PACKAGE_BUILD_PACKAGES[@]}" >&2

# Debian's hardening flags, as its own packages are built with; no debugging
# information, since CPack strips the programs anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_CXXFLAGS_MAINT_STRIP=-g
# CMake reads no CPPFLAGS: the preprocessor's flags go with the compiler's.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS

dir=build-package
rm -rf "$dir"
# Only what the package installs: no tests, benchmarks or tools.
zq_build "$dir" -DCMAKE_BUILD_TYPE=Release -DZQ_BUILD_TESTS=OFF -DZQ_BUILD_BENCH=OFF -DZQ_BUILD_TOOLS=OFF \
    -DZQ_BUILD_FUZZ=OFF -DZQ_SANITIZE=OFF "$@" >&2
(cd "$dir" && cpack -G DEB) >&2

debs=("$PWD/$dir"/zq-decoder_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "package.sh: expected one zq-decoder .deb in $dir, found: ${debs[*]}" >&2
    exit 1
fi
echo "${debs[0]}"
