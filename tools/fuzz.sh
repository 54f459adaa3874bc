#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets (the `fuzz` preset) and runs each for a bounded time over a copy of
# its seed corpus. Fails on any crash, leak or undefined behaviour.
#
#   tools/fuzz.sh [seconds per target, default 60; CI gives 30]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${1:-60}
targets=(receiver config_load text_field update_file vcard_import csv_import import_preview backup_index
  firmware_version)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/%/_fuzz}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  echo "== $target: ${seconds} s"
  if ! build/fuzz/fuzz/${target}_fuzz -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" \
       "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
    tail -n 60 "$work/$target.log"
    echo "fuzzing $target failed" >&2
    exit 1
  fi
  grep -E 'stat::number_of_executed_units' "$work/$target.log" | sed 's/^/   /'
done
