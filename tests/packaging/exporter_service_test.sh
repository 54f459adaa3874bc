#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The exporter's service unit is hardened (systemd's own exposure rating at most 2.0) and valid: every
# setting parses, in a root made of this host's units, the unit and a stand-in for the program.
# systemd-analyze (package systemd) is required: without it the test fails.
#
#   exporter_service_test.sh <unit file>
set -euo pipefail
unit=$1
name=$(basename "$unit")
highest=2.0

if ! command -v systemd-analyze >/dev/null; then
    echo "systemd-analyze (package systemd) is not installed" >&2
    exit 1
fi

rating=$(systemd-analyze security --offline=yes --no-pager "$unit")
level=$(sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p' <<<"$rating")
if [ -z "$level" ]; then
    echo "$rating"
    echo "no exposure level in the rating above" >&2
    exit 1
fi
if ! awk -v level="$level" -v highest="$highest" 'BEGIN { exit !(level <= highest) }'; then
    echo "$rating" | grep -v '✓'
    echo "$name is rated $level; at most $highest is allowed" >&2
    exit 1
fi
echo "$name is rated $level (at most $highest)"

# verify loads the unit with everything it names, so the root holds the system's units and an
# executable where ExecStart looks; any message means a setting was ignored.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/etc/systemd/system" "$root/usr/lib/systemd"
cp -r /lib/systemd/system "$root/usr/lib/systemd/"
cp "$unit" "$root/etc/systemd/system/"
program=$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$unit")
mkdir -p "$root$(dirname "$program")"
printf '#!/bin/sh\n' >"$root$program"
chmod +x "$root$program"
messages=$(systemd-analyze verify --man=no --recursive-errors=no --root="$root" "$name" 2>&1) || status=$?
if [ -n "$messages" ] || [ "${status:-0}" -ne 0 ]; then
    echo "$messages" >&2
    echo "systemd-analyze verify does not accept $name" >&2
    exit 1
fi
echo "$name passes systemd-analyze verify"
