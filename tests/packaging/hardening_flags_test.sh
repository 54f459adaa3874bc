#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every object of the shipped programs is compiled hardened: _FORTIFY_SOURCE=2 with optimisation, and
# the strong stack protector. lintian can only guess fortification from the functions a program
# imports, and the package overrides one such guess, so the flags themselves are checked here, as
# the compiler finally sees them (the last of repeated options wins).
#
#   hardening_flags_test.sh <compile_commands.json>
set -euo pipefail

# Objects under src/ are the programs' own (the core library, its emulated adapter, both mains).
awk '
    /^  "command": / {
        object = ""; fortify = ""; optimisation = ""; protector = ""
        for (i = 1; i <= NF; i++) {
            if ($i == "-o") object = $(i + 1)
            else if ($i ~ /^-[DU]_FORTIFY_SOURCE/) fortify = $i
            else if ($i ~ /^-O/) optimisation = $i
            else if ($i ~ /^-f(no-)?stack-protector/) protector = $i
        }
        if (object !~ /^src\//) next
        checked++
        problems = ""
        if (fortify !~ /^-D_FORTIFY_SOURCE=[23]$/) problems = problems " _FORTIFY_SOURCE: " (fortify == "" ? "unset" : fortify)
        if (optimisation !~ /^-O[123s]$/) problems = problems " optimisation: " (optimisation == "" ? "none" : optimisation)
        if (protector !~ /^-fstack-protector-(strong|all)$/) problems = problems " stack protector: " (protector == "" ? "none" : protector)
        if (problems != "") { print "FAIL: " object ":" problems; failed++ }
    }
    END {
        if (checked == 0) { print "FAIL: no compile command for the programs"; exit 1 }
        printf "hardening flags: %d objects checked, %d without them\n", checked, failed
        exit failed > 0
    }' "$1"
