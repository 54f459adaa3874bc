#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what the Debian packages built by CPack hold. Each program has a package of its own name:
# vestra7 holds the program, the udev rule, the desktop entry, the metainfo, the icons, the exporter's
# service (which nothing enables) and the example alerting rules; every other
# package holds only its program. Each has its manual page, the copyright and the changelog, nothing
# stray, dependencies for every library its program loads, and a hardened, stripped program.
#
#   package_test.sh <package dir> <scratch dir> <source dir> <installed udev rule> <app id> <program>...
#
# The first program is the main one, vestra7.
set -euo pipefail
export LC_ALL=C
packages_dir=$1 scratch=$2 source=$3 rule=$4 app_id=$5
rules_dir=$(dirname "$rule")
shift 5
programs=("$@")
main=${programs[0]}

command -v dpkg-deb >/dev/null || { echo "SKIP: not a Debian system"; exit 77; }

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Exactly one package per program, and no other.
all_debs=("$packages_dir"/*.deb)
[ -f "${all_debs[0]}" ] || { echo "FAIL: no package in $packages_dir"; exit 1; }
[ ${#all_debs[@]} -eq ${#programs[@]} ] || fail "expected ${#programs[@]} packages, found: ${all_debs[*]}"

rm -rf "$scratch"
mkdir -p "$scratch"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)
version=
declare -A owner_of

for package in "${programs[@]}"; do
    debs=("$packages_dir/${package}_"*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { fail "expected one package $package, found: ${debs[*]}"; continue; }
    deb=${debs[0]}
    echo "package: $deb"
    root="$scratch/$package"
    doc="/usr/share/doc/$package"

    # Control fields.
    field() { dpkg-deb -f "$deb" "$1"; }
    [ "$(field Package)" = "$package" ] || fail "$package: Package is $(field Package)"
    [ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "$package: Architecture is $(field Architecture)"
    [ -n "$(field Version)" ] || fail "$package: no Version"
    # Packages of one source are installed together only at one version.
    [ -z "$version" ] || [ "$(field Version)" = "$version" ] || fail "$package: Version $(field Version), not $version"
    version=$(field Version)
    for name in Maintainer Section Priority Homepage; do
        [ -n "$(field "$name")" ] || fail "$package: no $name"
    done
    # No "| head" and no "grep -q" after a command here: under pipefail, the early exit of the reader
    # would fail the writer now and then.
    summary=$(field Description | sed -n 1p)
    [ -n "$summary" ] || fail "$package: no Description summary"
    [ "$(field Description | wc -l)" -gt 1 ] || fail "$package: no long Description"
    for other in "${programs[@]}"; do
        [ "$other" = "$package" ] && continue
        [ "$summary" != "$(dpkg-deb -f "$packages_dir/${other}_"*.deb Description 2>/dev/null | sed -n 1p)" ] ||
            fail "$package: same summary as $other"
    done
    depends=$(field Depends)
    echo "depends: $depends"
    # The package names of Depends, one a line, without versions.
    depends_names=$(sed 's/([^)]*)//g; s/[|,]/\n/g' <<<"$depends" | tr -d ' ')

    # Files: each expected one, with root ownership, and nothing outside the expected folders.
    listing=$(dpkg-deb -c "$deb")
    files=$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sed 's|^\./|/|')
    expected=("/usr/bin/$package" "/usr/share/man/man1/$package.1.gz" "$doc/copyright" "$doc/changelog.gz")
    overrides="/usr/share/lintian/overrides/$package"
    allowed="^(/usr/bin/$package|/usr/share/man/man1/$package\.1\.gz|$doc/[^/]+|$overrides)$"
    if [ "$package" = "$main" ]; then
        icons=/usr/share/icons/hicolor
        expected+=(
            "$rule"
            "/usr/share/applications/$app_id.desktop"
            "/usr/share/metainfo/$app_id.metainfo.xml"
            "$icons/scalable/apps/$app_id.svg"
        )
        for size in 16 24 32 48 64 128 256; do expected+=("$icons/${size}x$size/apps/$app_id.png"); done
        expected+=("$doc/examples/vestra7-alerts.yml")
        unit='(/usr)?/lib/systemd/system/vestra7-exporter\.service'
        grep -qxE "$unit" <<<"$files" || fail "$package: missing vestra7-exporter.service"
        allowed="$allowed|^($rules_dir/|/usr/share/applications/|/usr/share/metainfo/|$icons/)"
        allowed="$allowed|^$unit\$|^$doc/examples/vestra7-alerts\.yml\$"
        # Installed disabled: no maintainer script enables or starts the service.
        dpkg-deb -e "$deb" "$scratch/control-$package"
        if grep -lE 'systemctl|deb-systemd' "$scratch/control-$package"/*; then
            fail "$package: a maintainer script enables or starts a service"
        fi
    fi
    for file in "${expected[@]}"; do
        grep -qxF "$file" <<<"$files" || fail "$package: missing $file"
    done
    while read -r file; do
        grep -qE "$allowed" <<<"$file" || fail "$package: stray file $file"
        # Two packages holding one file cannot be installed together.
        [ -z "${owner_of[$file]:-}" ] || fail "$file is in both $package and ${owner_of[$file]}"
        owner_of[$file]=$package
    done <<<"$files"
    awk '$2 != "root/root" {print "FAIL: not owned by root: " $6}' <<<"$listing" | grep . && failures=$((failures + 1))

    dpkg-deb -x "$deb" "$root"
    dpkg-deb -e "$deb" "$root/DEBIAN"

    # Program: a stripped, hardened executable whose every library comes from a package named in
    # Depends.
    binary="$root/usr/bin/$package"
    if [ -x "$binary" ]; then
        description=$(file -b "$binary")
        [[ "$description" == ELF* && "$description" == *", stripped"* ]] || fail "$package: $description"
        # Relocations read-only before the program starts: a RELRO segment and immediate binding.
        grep -q GNU_RELRO <<<"$(readelf -lW "$binary")" || fail "$package: the program has no RELRO segment"
        grep -qE '\(BIND_NOW\)|\(FLAGS(_1)?\).*\bNOW\b' <<<"$(readelf -dW "$binary")" ||
            fail "$package: the program is not bound at start"
        for library in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
            owner=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -n 1 | sed 's/[:,].*//') || true
            if [ -z "$owner" ]; then
                fail "$package loads $library, which no installed package holds"
            elif ! grep -qxF "$owner" <<<"$depends_names"; then
                fail "$package loads $library from $owner, which Depends does not name"
            fi
        done
    else
        fail "$package: /usr/bin/$package is not executable"
    fi

    # Manual page: a compressed page about the program.
    page="$root/usr/share/man/man1/$package.1.gz"
    if [ -f "$page" ]; then
        grep -qE "^\.TH \"?$package\"? \"?1\"?" <<<"$(gzip -dc "$page")" || fail "$package: the manual page is not $package(1)"
    fi

    # Copyright in the machine-readable format, under the project's licence; the changelog's newest
    # entry is this version.
    copyright="$root$doc/copyright"
    if [ -f "$copyright" ]; then
        cmp -s "$copyright" "$source/packaging/copyright" || fail "$package: the copyright differs from the source"
        [ "$(sed -n 1p "$copyright")" = 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ] ||
            fail "$package: the copyright is not in the machine-readable format"
        awk '/^Files: \*$/ {all = 1; next} all && /^License:/ {print $2; exit}' "$copyright" | grep -qx 'GPL-3.0-or-later' ||
            fail "$package: the copyright does not put all files under GPL-3.0-or-later"
    fi
    if [ -e "$root$overrides" ]; then
        cmp -s "$root$overrides" "$source/packaging/lintian/$package" || fail "$package: the lintian overrides differ from the source"
    fi
    changelog="$root$doc/changelog.gz"
    if [ -f "$changelog" ]; then
        newest=$(gzip -dc "$changelog" | sed -n 1p)
        [[ "$newest" == "vestra7 ($version) "* ]] || fail "$package: the changelog's newest entry is '$newest', not version $version"
        gzip -dc "$changelog" | cmp -s - "$source/packaging/changelog" || fail "$package: the changelog differs from the source"
    fi

    # Maintainer scripts: only the package with the udev rule has any, and they are the repository's.
    if [ "$package" = "$main" ]; then
        for script in postinst postrm; do
            [ -x "$root/DEBIAN/$script" ] || fail "$package: no executable $script"
            cmp -s "$root/DEBIAN/$script" "$source/packaging/$script" || fail "$package: $script differs from the source"
        done
    else
        for script in preinst postinst prerm postrm; do
            [ ! -e "$root/DEBIAN/$script" ] || fail "$package has a $script"
        done
    fi
done

# The main package's shipped files are the repository's own.
root="$scratch/$main"
cmp -s "$root$rule" "$source/packaging/$(basename "$rule")" || fail "the rule differs from the source"

# The desktop entry starts a shipped program and shows a shipped icon; the metainfo launches the entry.
desktop="$root/usr/share/applications/$app_id.desktop"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_program" ] || fail "the desktop entry starts $exec_program, which $main does not ship"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "the desktop entry's icon is not $app_id"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "the metainfo does not launch $app_id.desktop"
grep -qF "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
grep -qF "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" || fail "the metainfo does not name the project's licence"
# Software centres show the newest release of the metainfo as the version.
newest_release=$(sed -n '/<release version=/{s/.*<release version="\([^"]*\)".*/\1/p;q}' "$metainfo")
[ "$newest_release" = "$version" ] || fail "the metainfo's newest release is ${newest_release:-missing}, the package's $version"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
else
    echo "note: desktop-file-validate is not installed; desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
else
    echo "note: appstreamcli is not installed; metainfo not validated"
fi

[ "$failures" -eq 0 ] && echo "package: all checks pass"
[ "$failures" -eq 0 ]
