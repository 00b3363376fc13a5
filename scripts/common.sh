# Shared by start.sh and test.sh: install what is missing, configure and build.
# shellcheck shell=bash

VELKOR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian 12 packages the build, the tests and the program need.
VELKOR_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev qt6-charts-dev
    # The chart saved as an SVG drawing.
    qt6-svg-dev
    # Qt Charts' CMake files need Qt OpenGL's, which qt6-base-dev only recommends.
    libqt6opengl6-dev
    libgtest-dev libgmock-dev
    # The logbook's database.
    libsqlite3-dev
    # The help file's compiler (chmcmd) and reader, the PDF tools the print tests read pages
    # with, and Liberation Mono, the metric twin of the printed header's Courier New.
    fp-utils libchm-dev poppler-utils fonts-liberation2
    # The X server the hand-run measurement of closing during a download drives the program on.
    xvfb
)

velkor_install() {
    local missing=()
    for package in "${VELKOR_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# velkor_configure DIR [cmake options...]
velkor_configure() {
    local dir=$1
    shift
    cmake -S "$VELKOR_ROOT" -B "$VELKOR_ROOT/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# velkor_build DIR [cmake options...]: configures and builds everything.
velkor_build() {
    velkor_configure "$@"
    cmake --build "$VELKOR_ROOT/$1"
}
