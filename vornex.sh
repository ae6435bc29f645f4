#!/usr/bin/env bash
# Vornex set-up, build and launch.
#
#   ./vornex.sh run [ARGS...]   install what is missing, build, start the program
#   ./vornex.sh test [ARGS...]  install what is missing, build, run every test (ARGS go to ctest)
#   ./vornex.sh build           install what is missing and build
#
# VORNEX_BUILD_DIR (default: build) and VORNEX_SANITIZE (e.g. "address,undefined" or "thread")
# select another build tree; VORNEX_TARGET builds one target instead of all.
set -euo pipefail

cd "$(dirname "$0")"
ROOT=$PWD
BUILD_DIR=${VORNEX_BUILD_DIR:-build}
SANITIZE=${VORNEX_SANITIZE:-}
JOBS=${VORNEX_JOBS:-$(nproc)}

PACKAGES=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-serialport-dev qt6-svg-dev libqcustomplot-dev
    libmodbus-dev libudev-dev libxlsxwriter-dev
    libgtest-dev libgmock-dev
    fonts-wqy-microhei
    xvfb xauth unzip
)

install_missing() {
    local missing=()
    for pkg in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "vornex: installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    if [ ! -f "$BUILD_DIR/build.ninja" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DVORNEX_SANITIZE="$SANITIZE"
    fi
    cmake --build "$BUILD_DIR" --parallel "$JOBS" ${VORNEX_TARGET:+--target "$VORNEX_TARGET"}
}

# Until the main window exists, the program is the command-line poller against the built-in
# simulated instrument line.
run_program() {
    local workdir sim_pid line
    workdir=$(mktemp -d)
    line="$workdir/line"
    echo "vornex: no main window yet; polling the simulated instruments 1, 2 and 3 on $line"
    echo "vornex: for real instruments run $BUILD_DIR/cli/vornex-cli poll --port /dev/ttyUSB0 --slaves 1,2,3 --passes 100"
    # The simulator serves until its standard input closes: hold a fifo open for as long as we run.
    mkfifo "$workdir/control"
    exec 4<>"$workdir/control"
    exec 3< <(exec "$BUILD_DIR/sim/vornex-sim" --link "$line" --slaves 1,2,3 <&4)
    sim_pid=$!
    # Expanded now: the trap runs after this function's locals are gone.
    trap "kill $sim_pid 2>/dev/null; rm -rf '$workdir'" EXIT
    read -r _ready _path <&3
    "$BUILD_DIR/cli/vornex-cli" poll --port "$line" --slaves 1,2,3 --passes "${VORNEX_PASSES:-50}" \
        --display 1 "$@"
}

run_tests() {
    ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$JOBS" "$@"
}

command=${1:-run}
[ $# -gt 0 ] && shift
case "$command" in
    run) install_missing; build; run_program "$@" ;;
    test) install_missing; build; run_tests "$@" ;;
    build) install_missing; build ;;
    *) echo "usage: $0 run|test|build [ARGS...]" >&2; exit 2 ;;
esac
