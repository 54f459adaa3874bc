#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs lintian on each built package, as Debian checks what it ships: any error or warning fails, and
# so does any lack of hardening. Other informational and pedantic tags are shown but pass. A package may silence a tag only through an
# override file whose every tag follows a comment giving the reason.
#
#   lintian_test.sh <package dir> <package>...
set -euo pipefail
export LC_ALL=C.UTF-8
dir=$1
shift
packages=("$@")

command -v dpkg-deb >/dev/null || { echo "SKIP: not a Debian system"; exit 77; }
command -v lintian >/dev/null || { echo "SKIP: lintian is not installed"; exit 77; }

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for package in "${packages[@]}"; do
    debs=("$dir/${package}_"*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { fail "expected one package $package, found: ${debs[*]}"; continue; }
    deb=${debs[0]}

    # An override without its reason hides a problem nobody can judge later.
    overrides=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - "./usr/share/lintian/overrides/$package" 2>/dev/null || true)
    if [ -n "$overrides" ]; then
        awk -v package="$package" '
            /^[[:space:]]*$/ { reason = 0; next }
            /^#/ { reason = 1; next }
            !reason { print "FAIL: " package ": override without a reason: " $0; bad = 1 }
            { reason = 0 }
            END { exit bad }' <<<"$overrides" || failures=$((failures + 1))
    fi

    echo "lintian $(basename "$deb"):"
    status=0
    report=$(lintian --display-info --pedantic --show-overrides --fail-on error,warning "$deb" 2>&1) || status=$?
    [ -z "$report" ] || echo "$report"
    if [ "$status" -eq 0 ]; then
        echo "lintian: $package: no error, no warning"
    else
        fail "lintian reports errors or warnings for $package (exit status $status)"
    fi
    # lintian reports missing hardening only as information, yet the programs are meant to be built
    # with all of it; only an override, with its reason, may stand for it.
    if grep -E '^[EWIP]: [^ ]+: hardening-' <<<"$report"; then
        fail "$package: a program lacks hardening"
    fi
done

[ "$failures" -eq 0 ]
