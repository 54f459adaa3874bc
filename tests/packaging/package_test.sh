#!/usr/bin/env bash
# Builds the Debian package with CPack from the build tree and checks what it holds: the program, the
# udev rule, the desktop entry, the metainfo and the icons, nothing stray, dependencies for every
# library the programs load, and the maintainer scripts.
#
#   package_test.sh <build dir> <scratch dir> <source dir> <installed udev rule> <app id> <program>...
set -euo pipefail
export LC_ALL=C
build=$1 scratch=$2 source=$3 rule=$4 app_id=$5
rules_dir=$(dirname "$rule")
shift 5
programs=("$@")

command -v dpkg-deb >/dev/null || { echo "SKIP: not a Debian system"; exit 77; }

rm -rf "$scratch"
mkdir -p "$scratch"
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch" -G DEB >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    echo "FAIL: cpack could not build the package"
    exit 1
fi
debs=("$scratch"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one package, found: ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "package: $deb"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vestra7 ] || fail "Package is $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
[ -n "$(field Version)" ] || fail "no Version"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | head -n 1)" != "" ] || fail "no Description summary"
[ "$(field Description | wc -l)" -gt 1 ] || fail "no long Description"
depends=$(field Depends)
echo "depends: $depends"
# The package names of Depends, one a line, without versions.
depends_names=$(sed 's/([^)]*)//g; s/[|,]/\n/g' <<<"$depends" | tr -d ' ')

# Files: each expected one, with root ownership, and nothing outside the expected folders.
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sed 's|^\./|/|')
icons=/usr/share/icons/hicolor
expected=(
    "$rule"
    "/usr/share/applications/$app_id.desktop"
    "/usr/share/metainfo/$app_id.metainfo.xml"
    "$icons/scalable/apps/$app_id.svg"
)
for size in 16 24 32 48 64 128 256; do expected+=("$icons/${size}x$size/apps/$app_id.png"); done
for program in "${programs[@]}"; do expected+=("/usr/bin/$program"); done
for file in "${expected[@]}"; do
    grep -qxF "$file" <<<"$files" || fail "missing $file"
done
allowed="^(/usr/bin/|$rules_dir/|/usr/share/applications/|/usr/share/metainfo/|$icons/|/usr/share/doc/vestra7/)"
while read -r file; do
    grep -qE "$allowed" <<<"$file" || fail "stray file $file"
done <<<"$files"
while read -r file; do
    grep -qxF "$file" <<<"$(printf '%s\n' "${programs[@]/#//usr/bin/}")" || fail "unexpected program $file"
done < <(grep '^/usr/bin/' <<<"$files")
awk '$2 != "root/root" {print "FAIL: not owned by root: " $6}' <<<"$listing" | grep . && failures=$((failures + 1))

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$root/DEBIAN"

# Programs: stripped executables whose every library comes from a package named in Depends.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)
for program in "${programs[@]}"; do
    binary="$root/usr/bin/$program"
    [ -x "$binary" ] || { fail "$program is not executable"; continue; }
    description=$(file -b "$binary")
    [[ "$description" == ELF* && "$description" == *", stripped"* ]] || fail "$program: $description"
    for library in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        owner=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -n 1 | sed 's/[:,].*//') || true
        if [ -z "$owner" ]; then
            fail "$program loads $library, which no installed package holds"
        elif ! grep -qxF "$owner" <<<"$depends_names"; then
            fail "$program loads $library from $owner, which Depends does not name"
        fi
    done
done

# Shipped files are the repository's own.
cmp -s "$root$rule" "$source/packaging/$(basename "$rule")" || fail "the rule differs from the source"
for script in postinst postrm; do
    [ -x "$root/DEBIAN/$script" ] || fail "no executable $script"
    cmp -s "$root/DEBIAN/$script" "$source/packaging/$script" || fail "$script differs from the source"
done

# The desktop entry starts a shipped program and shows a shipped icon; the metainfo launches the entry.
desktop="$root/usr/share/applications/$app_id.desktop"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_program" ] || fail "the desktop entry starts $exec_program, which is not shipped"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "the desktop entry's icon is not $app_id"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "the metainfo does not launch $app_id.desktop"
grep -qF "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
# Software centres show the newest release of the metainfo as the version.
newest_release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$newest_release" = "$(field Version)" ] || fail "the metainfo's newest release is ${newest_release:-missing}, the package's $(field Version)"
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
