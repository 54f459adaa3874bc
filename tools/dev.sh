#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a Debian 12 machine for vestra7 (installing whatever is missing), then builds and runs
# the program, the demo, or the test suite, or builds the Debian package.
#
#   tools/dev.sh run       build and start vestra7
#   tools/dev.sh demo      build and start vestra7-demo, with an emulated adapter plugged in
#   tools/dev.sh test      the whole test suite: built with warnings as errors, then again under
#                          AddressSanitizer with UndefinedBehaviorSanitizer and under ThreadSanitizer,
#                          then 30 s of fuzzing per fuzz target
#   tools/dev.sh test quick  only the first of these: the suite built with warnings as errors
#   tools/dev.sh package   build the Debian package into build/packages
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libhidapi-dev libudev-dev
  prometheus-cpp-dev civetweb libcivetweb-dev libcurl4-openssl-dev prometheus
  libgtest-dev libgmock-dev libbenchmark-dev
  umockdev libumockdev-dev
  clang-14 libclang-rt-14-dev
  qt6-svg-dev qt6-charts-dev libqt6opengl6-dev udev systemd dpkg-dev file desktop-file-utils appstream
  lintian scdoc
  xvfb openbox xdotool x11-utils
)

install_missing() {
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}

mode=${1:-}
case "$mode" in
  run)
    install_missing
    build default
    exec build/default/src/app/vestra7
    ;;
  demo)
    install_missing
    build default
    exec build/default/src/app/vestra7-demo
    ;;
  test)
    install_missing
    build ci
    ctest --preset ci -j "$(nproc)"
    if [ "${2:-}" != quick ]; then
      for preset in asan tsan; do
        build "$preset"
        ctest --preset "$preset" -j "$(nproc)"
      done
      tools/fuzz.sh 30
    fi
    ;;
  package)
    install_missing
    build default
    cpack --preset default
    ;;
  *)
    echo "usage: $0 run|demo|test [quick]|package" >&2
    exit 2
    ;;
esac
