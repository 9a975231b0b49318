#!/bin/sh
# Builds the Debian package from the working tree's tracked files, away from
# the tree, so that dpkg-buildpackage leaves nothing in it:
#   dist/build_package.sh WORK OUT
# The files are copied to WORK/kirmavo-VERSION, debian/changelog is written
# there with the version of CMakeLists.txt's project line and the date of
# SOURCE_DATE_EPOCH (the last commit's time when unset), and the .deb and its
# -dbgsym land in OUT. The same commit gives the same bytes, in any folder.
set -eu
cd "$(dirname "$0")/.."
work=$(realpath -m "$1")
out=$(realpath -m "$2")

version=$(sed -n 's/^project(kirmavo VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
: "${SOURCE_DATE_EPOCH:=$(git log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH

src="$work/kirmavo-$version"
rm -rf "$work"
mkdir -p "$src" "$out"
git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$src"
cat >"$src/debian/changelog" <<END
kirmavo ($version) unstable; urgency=medium

  * Release $version.

 -- Kirmavo developers <kirmavo@example.org>  $(date -u -R -d "@$SOURCE_DATE_EPOCH")
END

echo "Building the package in $src (log: $work/build.log)"
if ! (cd "$src" && DEB_BUILD_OPTIONS="nocheck parallel=$(nproc 2>/dev/null || echo 2)" \
    dpkg-buildpackage -b -us -uc --build-profiles=nocheck) >"$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log" >&2
    exit 1
fi
rm -f "$out"/kirmavo*_"$version"_*.deb
mv "$work"/kirmavo*_"$version"_*.deb "$out"/
ls "$out"/kirmavo*_"$version"_*.deb
