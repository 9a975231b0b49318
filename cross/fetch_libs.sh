#!/bin/sh
# The libraries a cross build links and runs with, from Debian's archive for
# another architecture, unpacked into a folder of the build. The machine's
# packages and its dpkg and apt set-up are left as they are: apt works from a
# private configuration and state beside the folder.
#   cross/fetch_libs.sh ARCH DIR [PACKAGE...]
# ARCH is a Debian architecture (arm64, s390x, ...). DIR/root becomes the
# target's file tree (SDL 1.2, libpng, zlib and GoogleTest for building, with
# everything they need to run, libc included) and DIR/apt holds apt's lists
# and the downloaded packages. PACKAGEs are unpacked too, with what they need
# to run (libsdl1.2-compat, for the end-to-end cases on the compatibility
# library). A folder already holding the same packages is kept as it is.
set -eu

[ $# -ge 2 ] || {
    echo "usage: $0 ARCH DIR [PACKAGE...]" >&2
    exit 2
}
arch=$1
dir=$(realpath -m "$2")
shift 2

# What runs on the target, and the development files the build reads.
runtime="libsdl1.2debian libpng16-16 zlib1g libstdc++6 $*"
dev="libsdl1.2-dev libpng-dev zlib1g-dev libgtest-dev"

root=$dir/root
apt=$dir/apt
wanted="$arch $runtime $dev"
if [ -f "$root/.fetched" ] && [ "$(cat "$root/.fetched")" = "$wanted" ]; then
    exit 0
fi

# The machine's sources and keys, read for ARCH into a state of our own.
mkdir -p "$apt/state/lists/partial" "$apt/cache/archives/partial" "$apt/debs"
: >"$apt/state/status"
cat >"$apt/apt.conf" <<EOF
Dir::State "$apt/state";
Dir::State::status "$apt/state/status";
Dir::Cache "$apt/cache";
APT::Architecture "$arch";
APT::Architectures { "$arch"; };
Debug::NoLocking "true";
EOF
# As root, apt would hand the downloads to its own user, who can't write here.
[ "$(id -u)" -eq 0 ] && echo 'APT::Sandbox::User "root";' >>"$apt/apt.conf"
export APT_CONFIG="$apt/apt.conf"

apt-get -q update >/dev/null
# Everything the runtime packages need, however deep; virtual names (in <>)
# are left out, their providers are listed on their own.
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances $runtime | grep -v '^[ <]' | sort -u)
rm -f "$apt/debs/"*.deb
(cd "$apt/debs" && apt-get -q download $closure $dev >/dev/null)

rm -rf "$root"
mkdir -p "$root"
for deb in "$apt/debs/"*.deb; do
    dpkg-deb -x "$deb" "$root"
done
# A link that names an absolute path would leave the folder (zlib1g-dev's
# libz.so names /lib/...): make each one relative, pointing inside.
find "$root" -type l | while read -r link; do
    target=$(readlink "$link")
    case "$target" in
    /*) ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$root$target")" "$link" ;;
    esac
done
echo "$wanted" >"$root/.fetched"
echo "cross/fetch_libs.sh: $(ls "$apt/debs" | wc -l) $arch packages in $root"
