#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine for Quillon, builds it, and either starts it or runs every test.
#   scripts/quillon.sh run    install, build (Release) and start Quillon
#   scripts/quillon.sh test   install, build (sanitizers, warnings as errors) and run every test
set -euo pipefail

cd "$(dirname "$0")/.."

PACKAGES=(
    build-essential cmake ninja-build pkg-config clang
    qt6-base-dev qt6-base-dev-tools libqt6svg6-dev libgl-dev
    libusb-1.0-0-dev libudev-dev libsgutils2-dev
    umockdev libumockdev-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation xvfb xauth poppler-utils
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir"
}

case "${1:-}" in
run)
    install_packages
    build build-release -DCMAKE_BUILD_TYPE=Release -DQUILLON_TESTS=OFF
    exec build-release/src/app/quillon
    ;;
test)
    install_packages
    build build-test -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON -DQUILLON_WERROR=ON
    cd build-test
    ctest --output-on-failure --timeout 600 -j "$(nproc)"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
