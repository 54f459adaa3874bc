#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the shipped udev rule through udevadm against emulated devices: the adapter's hidraw node, in
# normal mode and in its boot loader, gets the uaccess tag and the group vestra7 with mode 0660; no
# other node gets either. Also checks that the
# rule file sorts before the seat rules that turn the tag into access.
#
# udevadm reads rules only from the system's folders, so it runs in a mount namespace of our own
# where they hold this rule alone. Where no namespace can be made, or with
# VESTRA7_RULE_TEST_EVALUATOR=1, a small evaluator of the rule's keys over each device's parent chain
# takes udevadm's place; it refuses keys it does not know.
#
#   udev_rule_test.sh <rule file> <umockdev device file>
set -euo pipefail
export LC_ALL=C
rule=$(realpath "$1")
devices=$(realpath "$2")
rule_name=$(basename "$rule")

if [ -z "${VESTRA7_RULE_TEST_IN_NAMESPACE:-}" ] && [ -z "${VESTRA7_RULE_TEST_EVALUATOR:-}" ]; then
    namespace=(unshare --mount)
    [ "$(id -u)" -eq 0 ] || namespace=(unshare --map-root-user --mount)
    if command -v udevadm >/dev/null && command -v umockdev-run >/dev/null && "${namespace[@]}" true 2>/dev/null; then
        VESTRA7_RULE_TEST_IN_NAMESPACE=1 exec "${namespace[@]}" "$0" "$@"
    fi
    echo "note: udevadm, umockdev-run or a mount namespace is not available here"
    VESTRA7_RULE_TEST_EVALUATOR=1
fi

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# umockdev takes no comments in a device file.
device_list() { sed '/^#/d' "$devices" | cat -s | sed '1{/^$/d}'; }

if [ -n "${VESTRA7_RULE_TEST_EVALUATOR:-}" ]; then
    echo "checking the rule with the key evaluator, not with udevadm"
    declare -A subsystem=() attribute=()
    while IFS= read -r line; do
        case $line in
        "P: "*) path=${line#P: } ;;
        "E: SUBSYSTEM="*) subsystem[$path]=${line#E: SUBSYSTEM=} ;;
        "A: "*) pair=${line#A: } && attribute["$path|${pair%%=*}"]=${pair#*=} ;;
        esac
    done < <(device_list)

    # ATTRS matches the device or any of its parents, as udev does.
    any_parent_has() {
        local path=$1 name=$2 pattern=$3
        while [ -n "$path" ]; do
            # shellcheck disable=SC2053 # udev values are glob patterns
            [[ -v attribute["$path|$name"] && ${attribute["$path|$name"]} == $pattern ]] && return 0
            path=${path%/*}
        done
        return 1
    }

    # Prints what the node is granted, a word a line: "uaccess", "group", both, or nothing.
    granted() {
        local path=$1 line item key name op value matched tags group mode
        while IFS= read -r line; do
            [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
            matched=1 tags= group= mode=
            IFS=, read -ra items <<<"$line"
            for item in "${items[@]}"; do
                [[ $item =~ ^[[:space:]]*([A-Z]+)(\{([^}]*)\})?(==|\+=|=)\"([^\"]*)\"[[:space:]]*$ ]] ||
                    { fail "the evaluator cannot read: $item"; return 1; }
                key=${BASH_REMATCH[1]} name=${BASH_REMATCH[3]} op=${BASH_REMATCH[4]} value=${BASH_REMATCH[5]}
                case "$key$op" in
                # shellcheck disable=SC2053 # udev values are glob patterns
                SUBSYSTEM==) [[ ${subsystem[$path]:-} == $value ]] || matched=0 ;;
                ATTRS==) any_parent_has "$path" "$name" "$value" || matched=0 ;;
                TAG+=) tags+=":$value:" ;;
                GROUP=) group=$value ;;
                MODE=) mode=$value ;;
                *) fail "the evaluator does not know $key$op"; return 1 ;;
                esac
            done
            if [ "$matched" -eq 1 ]; then
                if [[ $tags == *:uaccess:* ]]; then echo uaccess; fi
                if [[ $group == vestra7 && $mode == 0660 ]]; then echo group; fi
            fi
        done <"$rule"
        return 0
    }
else
    mount -t tmpfs tmpfs /run
    mkdir -p /run/udev
    for dir in /etc/udev/rules.d /usr/lib/udev/rules.d /lib/udev/rules.d /usr/local/lib/udev/rules.d; do
        if [ -d "$dir" ]; then mount -t tmpfs tmpfs "$dir"; fi
    done
    cp "$rule" /etc/udev/rules.d/
    device_list >/run/devices.umockdev
    # The group the package creates, in this namespace only.
    cp /etc/group /run/group
    grep -q '^vestra7:' /run/group || echo 'vestra7:x:989:' >>/run/group
    mount --bind /run/group /etc/group
    gid=$(getent group vestra7 | cut -d: -f3)

    granted() {
        local path=$1 out log
        out=$(mktemp) log=$(mktemp)
        # Run in a command substitution: what goes wrong is a word of the output, the details go to stderr.
        if ! umockdev-run --device /run/devices.umockdev -- udevadm test --action=add "/sys$path" >"$out" 2>"$log"; then
            echo "udevadm-failed"
            cat "$log" >&2
        fi
        grep -q "Reading rules file: /etc/udev/rules.d/$rule_name" "$log" || echo "rule-not-read"
        # udevadm names a rule it cannot take in full by its file and line.
        if grep "^/etc/udev/rules.d/$rule_name:" "$log" >&2; then echo "complaint"; fi
        if grep -q '^TAGS=.*:uaccess:' "$out"; then echo uaccess; fi
        if grep -q "$rule_name:[0-9]* GROUP $gid\$" "$log" && grep -q "$rule_name:[0-9]* MODE 0660\$" "$log"; then
            echo group
        fi
        rm -f "$out" "$log"
    }
fi

# expect tagged|untagged <sysfs path> <what it is>: tagged is the uaccess tag and the group, untagged neither
expect() {
    local got
    got=$(granted "$2" | sort | tr '\n' ' ')
    case "$got" in
    "group uaccess ") got=tagged ;;
    "") got=untagged ;;
    *) got="only $got" ;;
    esac
    [ "$got" = "$1" ] || fail "$3: $got, expected $1"
}

usb=/devices/pci0000:00/0000:00:14.0/usb1
expect tagged "$usb/1-1/1-1:1.0/0003:F0F0:0007.0001/hidraw/hidraw0" "the adapter's hidraw node"
expect tagged "$usb/1-2/1-2:1.0/0003:F0F0:0008.0002/hidraw/hidraw1" "the boot loader's hidraw node"
expect untagged "$usb/1-1" "the adapter's USB device node"
expect untagged "$usb/1-1/1-1:1.0/0003:F0F0:0007.0001" "the adapter's HID device"
expect untagged "$usb/1-3/1-3:1.0/0003:F0F1:1001.0003/hidraw/hidraw2" "another maker's hidraw node"
expect untagged "$usb/1-4/1-4:1.0/0003:F0F0:0007.0004/hidraw/hidraw3" "a maker name that differs in case"
expect untagged "$usb/1-5/1-5:1.0/0003:F0F2:2002.0005/hidraw/hidraw4" "a maker name that only starts alike"
expect untagged "/devices/virtual/misc/uhid/0005:F0F3:3003.0006/hidraw/hidraw5" "a hidraw node without a USB parent"

[[ "$rule_name" < 73-seat-late.rules ]] || fail "$rule_name sorts after 73-seat-late.rules, which grants uaccess"

[ "$failures" -eq 0 ] && echo "udev rule: all cases pass"
[ "$failures" -eq 0 ]
