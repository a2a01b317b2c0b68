#!/usr/bin/env bash
# Renders the README's pictures from the real windows into docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

zq_install_packages "${ZQ_PACKAGES[@]}"
zq_build build-tools -DZQ_BUILD_TESTS=OFF -DZQ_BUILD_TOOLS=ON
mkdir -p docs
# The same platform and fonts as the window tests, whatever the desktop; the
# sample attachment's key container record goes to a folder thrown away after.
data_home=$(mktemp -d)
trap 'rm -rf "$data_home"' EXIT
env XDG_DATA_HOME="$data_home" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= build-tools/tools/render_screenshots docs
echo "Wrote docs/main-window.png, docs/attachment-window.png, docs/drop-queued.png and docs/drop-decoded.png"
