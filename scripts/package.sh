#!/usr/bin/env bash
# Installs what is missing, builds the Debian package and prints its path.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/deps.sh"
veltro_install_deps
veltro_build veltro-panel veltro-meter-sim veltro-package-files
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/veltro-panel_*.deb
