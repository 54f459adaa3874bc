#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The example alerting rules are valid Prometheus rules, and each alert fires when it should and not
# before, and ends when its condition does, against made-up series. Without promtool the test is
# skipped, except in CI, where it fails.
#
#   prometheus_rules_test.sh <rules file> <promtool test file>
set -euo pipefail
if ! command -v promtool >/dev/null; then
    echo "promtool (package prometheus) is not installed"
    [ "${CI:-}" = true ] && exit 1
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# promtool finds the rules beside its test file.
cp "$1" "$work/vestra7-alerts.yml"
cp "$2" "$work/alerts_test.yml"
promtool check rules "$work/vestra7-alerts.yml"
promtool test rules "$work/alerts_test.yml"
