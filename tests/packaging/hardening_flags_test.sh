#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every object of the shipped programs is compiled hardened: _FORTIFY_SOURCE=2 with optimisation, and
# the strong stack protector. lintian can only guess fortification from the functions a program
# imports, and the package overrides one such guess, so the flags themselves are checked here, as
# the compiler finally sees them (the last of repeated options wins).
#
#   hardening_flags_test.sh <compile_commands.json>
set -euo pipefail
database=$1

# Objects under src/ are the programs' own (the core library, its emulated adapter, both mains).
commands=$(sed -n 's/^  "command": "\(.*\)",$/\1/p' "$database" | grep -e ' -o src/' || true)
[ -n "$commands" ] || { echo "FAIL: no compile command for the programs in $database"; exit 1; }

checked=0 failures=0
while read -r command; do
    object=$(sed 's/.* -o \([^ ]*\) .*/\1/' <<<"$command")
    fortify=$(grep -oE -e '-[DU]_FORTIFY_SOURCE(=[0-9]+)?' <<<"$command" | tail -n 1 || true)
    optimisation=$(grep -oE -e ' -O[0-9a-z]*' <<<"$command" | tail -n 1 | tr -d ' ' || true)
    protector=$(grep -oE -e '-f(no-)?stack-protector[a-z-]*' <<<"$command" | tail -n 1 || true)
    problems=()
    [[ "$fortify" =~ ^-D_FORTIFY_SOURCE=[23]$ ]] || problems+=("_FORTIFY_SOURCE: ${fortify:-unset}")
    [[ "$optimisation" =~ ^-O[123s]$ ]] || problems+=("optimisation: ${optimisation:-none}")
    [[ "$protector" =~ ^-fstack-protector-(strong|all)$ ]] || problems+=("stack protector: ${protector:-none}")
    if [ ${#problems[@]} -gt 0 ]; then
        echo "FAIL: $object: ${problems[*]}"
        failures=$((failures + 1))
    fi
    checked=$((checked + 1))
done <<<"$commands"

echo "hardening flags: $checked objects checked, $failures without them"
[ "$failures" -eq 0 ]
