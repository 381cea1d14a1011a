#!/usr/bin/env bash
# Sets up a Debian 12 machine for the viewer and builds it, then runs it or its tests.
#   tools/viewer.sh run     build and start the viewer
#   tools/viewer.sh test    build and run every test under Xvfb
#   tools/viewer.sh test-sanitized   the same with AddressSanitizer and UBSan, in build-sanitized/
# Both are safe to repeat; packages already present are not touched.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VIEWER_BUILD_DIR:-$root/build}
packages=(cmake ninja-build g++ pkg-config
    freeglut3-dev libglew-dev libglm-dev libsoil-dev libpng-dev libstb-dev
    libx11-dev libxtst-dev libxfixes-dev libxxf86vm-dev libxi-dev libxrandr-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth libgl1-mesa-dri)

install_missing_packages() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

configure_and_build() {
    cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
    cmake --build "$build"
}

# GL tests share one server; -noreset keeps it up between test processes. The end-to-end tests
# start servers of their own.
run_tests() {
    cd "$build"
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        ctest --output-on-failure --timeout 300 -j "$(nproc)" "$@"
}

case "${1:-}" in
run)
    install_missing_packages
    configure_and_build
    cd "$root"
    exec "$build/terrain"
    ;;
test)
    install_missing_packages
    configure_and_build -DVIEWER_WERROR=ON
    run_tests
    ;;
test-sanitized)
    build=${VIEWER_BUILD_DIR:-$root/build-sanitized}
    install_missing_packages
    configure_and_build -DVIEWER_WERROR=ON -DVIEWER_SANITIZE=ON
    run_tests
    ;;
*)
    echo "usage: $0 run|test|test-sanitized" >&2
    exit 2
    ;;
esac
