#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The demo writes its sample files, for the window's file dialogs, into a folder of its own, never into
# one another user made first under the shared temporary folder, with links to someone else's files
# in it. A command writes none and says nothing of them.
set -eu
demo=$1
tmp=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true; rm -rf "$tmp"' EXIT
echo "the victim's own file" >"$tmp/victim"
mkdir "$tmp/vestra7-demo"
ln -s "$tmp/victim" "$tmp/vestra7-demo/contacts.vcf"
ln -s "$tmp/victim" "$tmp/vestra7-demo/VESTRA7-1.3.0.xupd"
# As another user made it, where this test may hand it over.
chown -h -R nobody "$tmp/vestra7-demo" 2>/dev/null || true

TMPDIR=$tmp HOME=$tmp "$demo" list >/dev/null 2>"$tmp/said"
if [ -s "$tmp/said" ]; then
    echo "a command spoke of the window's sample files:"
    cat "$tmp/said"
    exit 1
fi

# The window, until it has named its sample files.
mkfifo "$tmp/errors"
QT_QPA_PLATFORM=offscreen TMPDIR=$tmp HOME=$tmp "$demo" >/dev/null 2>"$tmp/errors" &
pid=$!
while IFS= read -r line; do
    printf '%s\n' "$line" >>"$tmp/said"
    case $line in *contacts.vcf*) break ;; esac
done <"$tmp/errors"
kill -TERM $pid
wait $pid || true
pid=
test "$(cat "$tmp/victim")" = "the victim's own file" || { echo "the demo wrote through another user's link"; exit 1; }
grep -q "contacts.vcf" "$tmp/said" || { echo "the demo names no sample file:"; cat "$tmp/said"; exit 1; }
if grep -q "/vestra7-demo/" "$tmp/said"; then
    echo "the demo used the folder another user made:"
    cat "$tmp/said"
    exit 1
fi
