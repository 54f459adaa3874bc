#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package's postinst and postrm: with udev running they reload the rules and trigger the hidraw
# nodes, also when udevadm fails; where udev does not run (a chroot) or udevadm is absent they call
# nothing and still succeed; and they act only for the dpkg steps that change the installed rule. The
# postinst creates the group vestra7 when it does not exist yet, and only then.
#
#   maintainer_scripts_test.sh <folder holding postinst and postrm>
#
# Whether udev runs is read from /run/udev. In a mount namespace of its own, with a private /run,
# each case chooses; where none can be made (a chroot, most containers) every case meets udev as
# the machine has it, and expects what the scripts do there. VESTRA7_SCRIPT_TEST_NAMESPACE=none
# takes that way on any machine.
set -euo pipefail
scripts=$(realpath "$1")

case "${VESTRA7_SCRIPT_TEST_NAMESPACE:-}" in
"")
    namespace=(unshare --mount)
    [ "$(id -u)" -eq 0 ] || namespace=(unshare --map-root-user --mount)
    # The probe does what the private run needs: a namespace that cannot mount /run is no use.
    if "${namespace[@]}" sh -c 'mount -t tmpfs tmpfs /run' 2>/dev/null; then
        VESTRA7_SCRIPT_TEST_NAMESPACE=private exec "${namespace[@]}" "$0" "$@"
    fi
    VESTRA7_SCRIPT_TEST_NAMESPACE=none
    ;;
private) mount -t tmpfs tmpfs /run ;;
none) ;;
*)
    echo "VESTRA7_SCRIPT_TEST_NAMESPACE is private, none or unset, not $VESTRA7_SCRIPT_TEST_NAMESPACE" >&2
    exit 2
    ;;
esac
if [ "$VESTRA7_SCRIPT_TEST_NAMESPACE" = none ]; then
    if [ -d /run/udev ]; then machine_udev=yes; else machine_udev=no; fi
    echo "note: no private /run here; every case meets udev as this machine has it (running: $machine_udev)"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A udevadm that logs its arguments and fails, as it does without a running daemon.
mkdir "$work/bin"
cat >"$work/bin/udevadm" <<FAKE
#!/bin/sh
echo "\$*" >>"$work/calls"
exit 1
FAKE
chmod +x "$work/bin/udevadm"
# getent and addgroup stand in for the system's, logging too: the group exists once $work/group does.
mkdir "$work/group-bin"
cat >"$work/group-bin/getent" <<FAKE
#!/bin/sh
[ "\$*" = "group vestra7" ] && [ -e "$work/group" ] && echo "vestra7:x:989:"
FAKE
cat >"$work/group-bin/addgroup" <<FAKE
#!/bin/sh
echo "addgroup \$*" >>"$work/calls"
touch "$work/group"
FAKE
chmod +x "$work/group-bin/getent" "$work/group-bin/addgroup"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# run <script> <argument> <udev running: yes|no> <path>: runs the script and leaves its calls in $calls,
# and in $udev_calls what it must have asked of udevadm, udevadm being on the path: where /run is
# private udev runs as the case says, elsewhere as it does on this machine.
run() {
    local script=$1 argument=$2 running=$3 path=$4
    rm -f "$work/calls"
    touch "$work/calls"
    if [ "$VESTRA7_SCRIPT_TEST_NAMESPACE" = private ]; then
        rm -rf /run/udev
        if [ "$running" = yes ]; then mkdir /run/udev; fi
    else
        running=$machine_udev
    fi
    udev_calls=
    if [ "$running" = yes ]; then udev_calls=$reload_and_trigger; fi
    [ -x "$scripts/$script" ] || fail "$script is not executable"
    if ! PATH=$path "$scripts/$script" "$argument"; then fail "$script $argument failed"; fi
    calls=$(cat "$work/calls")
}

newline=$'\n'
reload_and_trigger=$'control --reload-rules\ntrigger --subsystem-match=hidraw'
with_udevadm="$work/group-bin:$work/bin:/usr/bin:/bin"
without_udevadm="$work/group-bin"

# The group is made at the first configure, before the rule is applied, and left alone afterwards.
rm -f "$work/group"
run postinst configure yes "$with_udevadm"
[ "$calls" = "addgroup --system --quiet vestra7${udev_calls:+$newline$udev_calls}" ] ||
    fail "postinst configure without the group called: ${calls:-nothing}"
run postinst configure yes "$with_udevadm"
[ "$calls" = "$udev_calls" ] || fail "postinst configure with the group called: ${calls:-nothing}"

for step in "postinst configure" "postrm remove"; do
    read -r script argument <<<"$step"
    for running in yes no; do
        run "$script" "$argument" "$running" "$with_udevadm"
        [ "$calls" = "$udev_calls" ] || fail "$step with udev running: $running called: ${calls:-nothing}"
    done
    run "$script" "$argument" yes "$without_udevadm"
    [ -z "$calls" ] || fail "$step without udevadm called: $calls"
done

for step in "postinst abort-upgrade" "postrm upgrade" "postrm purge"; do
    read -r script argument <<<"$step"
    run "$script" "$argument" yes "$with_udevadm"
    [ -z "$calls" ] || fail "$step called: $calls"
done

[ "$failures" -eq 0 ] && echo "maintainer scripts: all cases pass"
[ "$failures" -eq 0 ]
