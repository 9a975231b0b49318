#!/bin/sh
# The release checked end to end, on a Debian 12 machine (as root, or
# through sudo):
#   dist/check.sh [WORK]          WORK defaults to build-check
# 1. The last commit is cloned into two folders of different depths and
#    ./build.sh release runs in each; every file of the two release/
#    folders must be the same bytes. Their sha256 sums are printed.
# 2. lintian -I -E --pedantic on the .debs: no tag may come.
# 3. A fresh Debian 12 root (debootstrap --variant=minbase bookworm, made
#    once and kept as a tar file in ~/.cache/kirmavo) gets the package with
#    apt-get install: the packages pulled and the time are printed. The
#    installed kirmavo-capture, run from a folder without data/, must write
#    the same frames as the first clone's developer build at the golden
#    instants, and kirmavo -w must keep its window open under Xvfb (a
#    screenshot is left in WORK/show.png). Then the package is purged,
#    apt-get autoremove --purge runs, and every file that is there now, was
#    not before the install and belongs to no package is listed.
set -eu
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$0" "$@"
fi
missing=""
for package in lintian debootstrap imagemagick; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
if [ -n "$missing" ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
repo=$(pwd)
commit=$(git rev-parse HEAD)
work=$(realpath -m "${1:-build-check}")
cache="${XDG_CACHE_HOME:-$HOME/.cache}/kirmavo"
mirror=http://deb.debian.org/debian
at=$(grep -E '^[0-9]+ ' tests/capture/golden.txt | cut -d' ' -f1 | paste -sd,)
version=$(sed -n 's/^project(kirmavo VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
rm -rf "$work"
mkdir -p "$work" "$cache"

echo "== The release of $commit, built twice"
one="$work/one/kirmavo"
two="$work/two/a/longer/path/kirmavo-again"
for clone in "$one" "$two"; do
    git clone -q "$repo" "$clone"
    git -C "$clone" checkout -q "$commit"
    started=$(date +%s)
    (cd "$clone" && ./build.sh release) >"$clone.log" 2>&1 || {
        tail -n 30 "$clone.log"
        exit 1
    }
    echo "$clone: built in $(($(date +%s) - started)) s"
done
(cd "$one/release" && ls) >"$work/files-one"
(cd "$two/release" && ls) >"$work/files-two"
cmp -s "$work/files-one" "$work/files-two" || {
    echo "the two releases hold different files" >&2
    exit 1
}
for file in $(cat "$work/files-one"); do
    cmp "$one/release/$file" "$two/release/$file" || {
        echo "$file differs between the two builds" >&2
        exit 1
    }
done
echo "every file is the same in both:"
sed 's/^/  /' "$one/release/SHA256SUMS"
ls -l "$one/release" | sed 's/^/  /'

echo "== lintian -I -E --pedantic"
tags=$(lintian --fail-on none -I -E --pedantic "$one"/release/*.deb 2>/dev/null)
[ -z "$tags" ] || {
    echo "$tags"
    exit 1
}
echo "  no tags"

echo "== The clone's frames"
(cd "$one" && cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRMAVO_TESTS=OFF >/dev/null &&
    cmake --build build -j "$(nproc)" --target capture content music >/dev/null)
(cd "$one/build" && ./tools/capture/capture --at "$at" --frames "$work/clone-frames")
echo "  $(ls "$work/clone-frames" | wc -l) frames"

echo "== A fresh Debian 12 root"
tarball="$cache/bookworm-minbase.tar"
if [ ! -f "$tarball" ]; then
    started=$(date +%s)
    debootstrap --variant=minbase bookworm "$work/bootstrap" "$mirror" >"$work/debootstrap.log" 2>&1 || {
        tail -n 20 "$work/debootstrap.log"
        exit 1
    }
    tar -C "$work/bootstrap" -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
    rm -rf "$work/bootstrap"
    echo "  made in $(($(date +%s) - started)) s, kept in $tarball"
fi
root="$work/root"
mkdir -p "$root"
tar -C "$root" -xf "$tarball"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$one/release/kirmavo_${version}_"*.deb "$root/tmp/"
mkdir -p "$root/tmp/run"
printf '%s\n' "$at" >"$root/tmp/at"

# Inside the root: the mounts live in a private namespace and go with it.
cat >"$root/tmp/check-inside.sh" <<'INSIDE'
set -eu
export DEBIAN_FRONTEND=noninteractive PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin:/usr/games
files() {
    find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /var/cache/apt \
        -o -path /var/lib/apt/lists \) -prune -o -print | sort
}
apt-get update -q >/dev/null
files >/tmp/before
started=$(date +%s)
apt-get install -y /tmp/kirmavo_*.deb >/tmp/install.log 2>&1 || { tail -n 20 /tmp/install.log; exit 1; }
echo "  apt-get install: $(grep -E 'newly installed' /tmp/install.log)"
echo "  $(grep -E '^Need to get' /tmp/install.log), $(($(date +%s) - started)) s"
cd /tmp/run
kirmavo-capture --version
kirmavo-capture --at "$(cat /tmp/at)" --frames /tmp/frames
ls /tmp/run | grep -q . && { echo "kirmavo-capture left files in its working directory"; exit 1; }
apt-get install -y xvfb xauth x11-apps x11-utils >/tmp/xvfb.log 2>&1 || { tail -n 20 /tmp/xvfb.log; exit 1; }
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 800x600x24" sh -c '
    # xvfb-run can return before the server takes connections in a chroot.
    for try in 1 2 3 4 5 6 7 8 9 10; do xdpyinfo >/dev/null 2>&1 && break; sleep 1; done
    kirmavo -w & show=$!
    sleep 8
    window=no
    xwininfo -root -tree | grep -q "\"Kirmavo\"" && window=yes
    xwd -root -silent >/tmp/show.xwd
    kill -0 $show && kill $show
    status=0
    wait $show || status=$?
    echo "  the window was open: $window; kirmavo ended with status $status on SIGTERM"
    [ $window = yes ]'
apt-get purge -y kirmavo xvfb xauth x11-apps x11-utils >/tmp/purge.log 2>&1
apt-get autoremove --purge -y >>/tmp/purge.log 2>&1
apt-get clean
files >/tmp/after
# What is new since before the install: files no installed package owns
# were left behind; the rest belong to packages autoremove keeps because
# a package of the base system recommends or suggests them.
comm -13 /tmp/before /tmp/after >/tmp/new
while read -r file; do
    dpkg -S "$file" >/dev/null 2>&1 || echo "$file"
done </tmp/new >/tmp/orphans
grep -vxF -f /tmp/orphans /tmp/new | xargs -r dpkg -S 2>/dev/null | cut -d: -f1 | tr ', ' '\n\n' |
    grep . | sort -u >/tmp/kept
INSIDE
started=$(date +%s)
unshare -m sh -eu -c '
    mount -t proc proc "$1/proc"
    mount --rbind /dev "$1/dev"
    mount --make-rslave "$1/dev"
    chroot "$1" sh /tmp/check-inside.sh
' sh "$root"
echo "  in the root for $(($(date +%s) - started)) s"

if diff -r "$work/clone-frames" "$root/tmp/frames" >/dev/null; then
    echo "  the installed kirmavo-capture wrote the clone's frames: sha256 of them all, both"
    (cd "$work/clone-frames" && cat ./* | sha256sum | sed 's/^/    clone     /')
    (cd "$root/tmp/frames" && cat ./* | sha256sum | sed 's/^/    installed /')
else
    echo "the installed kirmavo-capture's frames differ from the clone's" >&2
    exit 1
fi
convert "$root/tmp/show.xwd" "$work/show.png"
echo "  the show under Xvfb: $work/show.png"

echo "== Left behind after purge and autoremove --purge"
cp "$root/tmp/orphans" "$work/left-behind"
if [ -s "$work/left-behind" ]; then
    sed 's/^/  /' "$work/left-behind"
else
    echo "  nothing"
fi
if [ -s "$root/tmp/kept" ]; then
    echo "  still installed, kept by autoremove for the base system: $(paste -sd' ' "$root/tmp/kept")"
fi
if grep -qi kirmavo "$work/left-behind"; then
    echo "files of ours were left behind" >&2
    exit 1
fi
