#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the run script need,
# when any is missing, and builds. Sourced by test.sh, run.sh, pictures.sh and
# package.sh.
veltro_install_deps() {
    local wanted=(cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev libgtest-dev
                  libbenchmark-dev xvfb xauth imagemagick fonts-dejavu-core fonts-urw-base35
                  g++-mingw-w64-x86-64-posix wine wine64
                  dpkg-dev file lintian desktop-file-utils appstream
                  openbox xdotool x11-utils libxcb1-dev
                  libmosquitto-dev libssl-dev mosquitto mosquitto-clients openssl)
    local missing=()
    local p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
}

# veltro_build [TARGET...]: configures the build folder (VELTRO_BUILD_DIR, or
# build/ of this checkout), sets `build` to it and builds the targets named, or
# everything when none is.
veltro_build() {
    local top
    top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    build="${VELTRO_BUILD_DIR:-$top/build}"
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    if [ $# -gt 0 ]; then
        cmake --build "$build" -j"$(nproc)" --target "$@"
    else
        cmake --build "$build" -j"$(nproc)"
    fi
}
