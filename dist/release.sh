#!/bin/sh
# The release, as ./build.sh release makes it:
#   dist/release.sh WORK OUT
# writes into OUT (emptied first) the Debian package and its -dbgsym
# (dist/build_package.sh), the web archive kirmavo-web-VERSION as .zip and
# .tar.gz, and SHA256SUMS of them all. SOURCE_DATE_EPOCH is the last
# commit's time, and every archive is made with fixed times, owners, modes
# and order, so the same commit gives the same bytes in any folder.
set -eu
cd "$(dirname "$0")/.."
work=$(realpath -m "$1")
out=$(realpath -m "$2")

version=$(sed -n 's/^project(kirmavo VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "Note: the working tree differs from the last commit; the release is built from the" >&2
    echo "tracked files as they are, and another clone of that commit will not match it." >&2
fi

rm -rf "$out"
mkdir -p "$out"
dist/build_package.sh "$work/package" "$out"

# The site, built by the exported tree's own script from the package
# build's native half (its content generator and data/).
src="$work/package/kirmavo-$version"
rm -rf "$work/web/cmake" "$work/web/site"
"$src/web/build.sh" "$(echo "$src"/obj-*)" "$work/web"

name="kirmavo-web-$version"
stage="$work/web/archive"
rm -rf "$stage"
mkdir -p "$stage/$name"
cp "$work/web/site"/* "$stage/$name/"
chmod 755 "$stage/$name"
chmod 644 "$stage/$name"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage/$name" "$stage/$name"/*
files=$(cd "$stage" && find "$name" -type f | LC_ALL=C sort)
(cd "$stage" && tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
    -cf - "$name" | gzip -9n >"$out/$name.tar.gz")
# shellcheck disable=SC2086 # the names have no spaces
(cd "$stage" && TZ=UTC zip -q -X -9 "$out/$name.zip" "$name/" $files)

(cd "$out" && sha256sum -- *.deb "$name.zip" "$name.tar.gz" >SHA256SUMS)
echo "The release, in $out:"
cat "$out/SHA256SUMS"
