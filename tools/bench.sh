#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks and prints their figures as one Markdown table, the one in the README's
# "Performance" section. The emulated adapter runs at full-speed USB timing throughout.
#
#   tools/bench.sh [seconds]    how long CPU and latency are sampled, 20 s unless given
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-20}
bin=build/default
log=$(mktemp)
trap 'rm -f "$log"' EXIT
export QT_QPA_PLATFORM=offscreen

cmake --preset default >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
cmake --build --preset default --target vestra7 vestra7-demo link_bench update_bench program_bench refresh_bench \
  line_status_bench parser_bench >"$log" 2>&1 || { cat "$log" >&2; exit 1; }

# Runs one benchmark and passes on its table rows; on failure shows what it said and stops.
rows() {
  if ! "$@" 2>"$log" | grep '^|'; then
    echo "failed: $*" >&2
    cat "$log" >&2
    exit 1
  fi
}

# Google Benchmark's CSV: the name, the iterations, the real time, the CPU time and the unit.
refresh_rows() {
  "$bin/bench/refresh_bench" --benchmark_format=csv 2>"$log" | awk -F, '
    $1 == "\"RefreshUnchangedRecord\"" { printf "| Refresh per record, unchanged record | %.1f %s | runs 5 times a second |\n", $4, $5 }
    $1 == "\"RefreshEveryFieldChanged\"" { printf "| Refresh per record, every shown field changed | %.0f %s | runs 5 times a second |\n", $4, $5 }'
}

echo "| Figure | Measured | Target or reference |"
echo "|---|---|---|"
rows umockdev-wrapper "$bin/bench/program_bench" "$bin/src/app/vestra7" "$bin/src/app/vestra7-demo" "$seconds"
rows "$bin/bench/link_bench" "$seconds"
rows umockdev-wrapper "$bin/bench/link_bench" "$seconds" --hidraw
refresh_rows
rows "$bin/bench/update_bench"
rows "$bin/bench/line_status_bench" "$seconds"
rows "$bin/bench/parser_bench"
