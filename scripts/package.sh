#!/usr/bin/env bash
# Installs what is missing, builds the Debian package and prints its path.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/deps.sh"
veltro_install_deps
build="${VELTRO_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target veltro-panel veltro-meter-sim veltro-package-files
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/veltro-panel_*.deb
