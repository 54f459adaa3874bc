#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# File names that are not UTF-8 keep their bytes, under a UTF-8 locale and under C: the command
# writes and reads the very name it was given, and names it so.
set -eu
demo=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
for locale in C.UTF-8 C; do
    config=$(printf 'caf\351-%s.cfg' "$locale")
    book=$(printf 'b\351b\351-%s.vcf' "$locale")
    said=$(LC_ALL=$locale HOME=$tmp "$demo" backup "$config" 2>/dev/null)
    case $said in *"saved to $config") ;; *) echo "$locale: the message names another file: $said"; exit 1 ;; esac
    test "$(wc -c <"$config")" -eq 1789 || { echo "$locale: backup wrote another name"; ls; exit 1; }
    LC_ALL=$locale HOME=$tmp "$demo" restore "$config" 2>/dev/null
    LC_ALL=$locale HOME=$tmp "$demo" export-contacts "$book" 2>/dev/null
    test -s "$book" || { echo "$locale: export wrote another name"; ls; exit 1; }
    LC_ALL=$locale HOME=$tmp "$demo" import-contacts "$book" 2>/dev/null
done
test "$(ls | wc -l)" -eq 4 || { echo "files of other names were written:"; ls; exit 1; }
