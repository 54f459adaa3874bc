#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages with CPack from the build tree, for the tests that look at them.
#
#   build_packages.sh <build dir> <package dir>
set -euo pipefail
build=$1 out=$2

command -v dpkg-deb >/dev/null || { echo "SKIP: not a Debian system"; exit 77; }

rm -rf "$out"
mkdir -p "$out"
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" -G DEB >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    echo "FAIL: cpack could not build the packages"
    exit 1
fi
ls -l "$out"/*.deb
