#!/usr/bin/env bash
# Vornex set-up, build and launch.
#
#   ./vornex.sh run [ARGS...]   install what is missing, build, start the program
#   ./vornex.sh test [ARGS...]  install what is missing, build, run every test (ARGS go to ctest)
#   ./vornex.sh build           install what is missing and build
#   ./vornex.sh check-format    install what is missing, check every tracked source's formatting
#   ./vornex.sh package         install what is missing, build, make build/package/vornex_*.deb
#   ./vornex.sh fuzz [SECONDS]  install what is missing, build the fuzz targets with clang in
#                               build-fuzz/ and run each for SECONDS (default 30); fails on a finding
#
# VORNEX_BUILD_DIR (default: build) and VORNEX_SANITIZE (e.g. "address,undefined" or "thread")
# select another build tree; VORNEX_TARGET builds one target instead of all; VORNEX_WERROR=ON
# makes compiler warnings errors.
set -euo pipefail

cd "$(dirname "$0")"
ROOT=$PWD
BUILD_DIR=${VORNEX_BUILD_DIR:-build}
SANITIZE=${VORNEX_SANITIZE:-}
WERROR=${VORNEX_WERROR:-OFF}
JOBS=${VORNEX_JOBS:-$(nproc)}
# Builds of the same sources in other folders (a fresh clone, a sanitizer tree) share the cache.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1

PACKAGES=(
    cmake ninja-build g++ pkg-config ccache clang-format
    qt6-base-dev qt6-serialport-dev qt6-svg-dev libqcustomplot-dev
    libmodbus-dev libudev-dev libxlsxwriter-dev libpq-dev postgresql-15
    libgtest-dev libgmock-dev
    fonts-wqy-microhei qt6-translations-l10n
    xvfb xauth unzip poppler-utils
    dpkg-dev file lintian desktop-file-utils appstream man-db shared-mime-info
    clang libclang-rt-14-dev
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

# The value an existing tree was configured with, or nothing.
cached_option() {
    sed -n "s/^$1:[A-Z]*=//p" "$BUILD_DIR/CMakeCache.txt" 2>/dev/null
}

# Configures a new tree, and an existing one whose options differ from the environment's.
build() {
    if [ ! -f "$BUILD_DIR/build.ninja" ] || [ "$(cached_option VORNEX_SANITIZE)" != "$SANITIZE" ] ||
        [ "$(cached_option VORNEX_WERROR)" != "$WERROR" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DVORNEX_SANITIZE="$SANITIZE" \
            -DVORNEX_WERROR="$WERROR"
    fi
    cmake --build "$BUILD_DIR" --parallel "$JOBS" ${VORNEX_TARGET:+--target "$VORNEX_TARGET"}
}

# USB serial adapters, the usual way instruments are joined. Built-in ports are listed by the
# program either way, simulated line or not.
serial_hardware() {
    local port
    for port in /dev/ttyUSB* /dev/ttyACM*; do
        [ -e "$port" ] && echo "$port"
    done
    return 0
}

# Starts the main window; without serial hardware, with the built-in simulated instrument line.
run_program() {
    local program="$BUILD_DIR/src/app/vornex" hardware
    hardware=$(serial_hardware)
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "vornex: no display found; to try it headless: xvfb-run -a $program --simulate"
    fi
    if [ -z "$hardware" ]; then
        echo "vornex: no USB serial adapter found; starting with simulated instruments 1, 2 and 3"
        echo "vornex: add them with Add, then Connect on the first port of the list"
        echo "vornex: for real instruments plug in the USB serial adapter (it appears in the port"
        echo "        list at once) or pick a built-in port from the list; run"
        echo "        $program --port /dev/ttyXXX for a port the list does not show"
        exec "$program" --simulate "$@"
    fi
    echo "vornex: serial ports: $(echo "$hardware" | tr '\n' ' ')"
    exec "$program" "$@"
}

# Lists each tracked C++ file that clang-format would change, and fails if there is one.
check_format() {
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
}

# The Debian package of the build tree, made from what `cmake --install` puts in place.
make_package() {
    cpack --config "$BUILD_DIR/CPackConfig.cmake"
}

run_tests() {
    ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$JOBS" "$@"
}

# Builds the libFuzzer targets in a tree of their own and runs each on a copy of its seed corpus, so
# that what it finds stays out of the repository. A crash, a sanitizer report, a broken check or an
# input that runs 10 s fails the command; the inputs are kept in the tree's fuzz-findings/.
run_fuzzers() {
    local seconds=${1:-30} BUILD_DIR=${VORNEX_FUZZ_DIR:-build-fuzz} work corpus target failed=0
    # Warnings are the GCC build's to judge; clang's own would stop the fuzzing, not find faults.
    local WERROR=OFF
    if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
        echo "usage: $0 fuzz [SECONDS]" >&2
        exit 2
    fi
    if [ ! -f "$BUILD_DIR/build.ninja" ] || [ "$(cached_option VORNEX_WERROR)" != "$WERROR" ]; then
        CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DVORNEX_FUZZ=ON \
            -DVORNEX_WERROR="$WERROR"
    fi
    cmake --build "$BUILD_DIR" --parallel "$JOBS" --target fuzzers
    work=$(mktemp -d)
    mkdir -p "$BUILD_DIR/fuzz-findings"
    for corpus in "$ROOT"/fuzz/corpus/*/; do
        target=$(basename "$corpus")
        mkdir "$work/$target"
        cp "$corpus"* "$work/$target/"
        if "$BUILD_DIR/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
            -print_final_stats=1 -artifact_prefix="$work/$target-" "$work/$target" \
            >"$work/$target.log" 2>&1; then
            echo "vornex: fuzz_$target: $(sed -n 's/^stat::number_of_executed_units: *//p' \
                "$work/$target.log") runs in $seconds s, no finding"
        else
            tail -n 30 "$work/$target.log"
            cp "$work/$target"-* "$BUILD_DIR/fuzz-findings/" 2>/dev/null || true
            echo "vornex: fuzz_$target found a fault; its input is in $BUILD_DIR/fuzz-findings/" >&2
            failed=1
        fi
    done
    rm -rf "$work"
    return $failed
}

command=${1:-run}
[ $# -gt 0 ] && shift
case "$command" in
    run) install_missing; build; run_program "$@" ;;
    test) install_missing; build; run_tests "$@" ;;
    build) install_missing; build ;;
    check-format) install_missing; check_format ;;
    package) install_missing; build; make_package ;;
    fuzz) install_missing; run_fuzzers "$@" ;;
    *) echo "usage: $0 run|test|build|check-format|package|fuzz [ARGS...]" >&2; exit 2 ;;
esac
