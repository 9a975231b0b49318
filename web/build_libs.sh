#!/bin/sh
# zlib and libpng for the browser, built with emscripten from Debian's own
# source packages (emscripten's ports would download them from elsewhere).
#   web/build_libs.sh DIR   sources in DIR/src, the static libraries and
#                           headers in DIR/lib and DIR/include
# A library already in DIR/lib is kept, so a rerun costs nothing.
set -eu

dir=$(realpath -m "$1")
mkdir -p "$dir/src" "$dir/lib" "$dir/include"
export NODE_PATH=/usr/share/nodejs  # Debian's emscripten finds acorn there

[ -f "$dir/lib/libz.a" ] && [ -f "$dir/lib/libpng.a" ] && exit 0

# apt-get source needs deb-src entries: the mirrors apt already uses.
have_sources() { apt-cache showsrc "$1" 2>/dev/null | grep -q '^Version:'; }
if ! have_sources zlib; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    for list in /etc/apt/sources.list.d/*.sources; do
        case "$list" in */kirmavo-src-*) continue ;; esac
        [ -f "$list" ] && grep -Eq '^Types:(.* )?deb( |$)' "$list" || continue
        sed 's/^Types:.*/Types: deb-src/' "$list" |
            $sudo tee "/etc/apt/sources.list.d/kirmavo-src-$(basename "$list")" >/dev/null
    done
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list |
            $sudo tee /etc/apt/sources.list.d/kirmavo-src.list >/dev/null
    fi
    $sudo apt-get update
fi

# Unpacks the newest version of a source package that the mirror really
# serves (a security update may be listed before its files are there) and
# prints its directory.
fetch() {
    package=$1
    cd "$dir/src"
    for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -u -rV); do
        upstream=$(echo "$version" | sed 's/^[0-9]*://; s/-[^-]*$//')
        found=$(find . -maxdepth 1 -type d -name "*-$upstream" | head -n 1)
        if [ -z "$found" ] && apt-get source -q "$package=$version" >&2; then
            found=$(find . -maxdepth 1 -type d -name "*-$upstream" | head -n 1)
        fi
        if [ -n "$found" ]; then
            echo "$dir/src/${found#./}"
            return 0
        fi
        echo "web/build_libs.sh: $package $version would not download, trying an older one" >&2
    done
    echo "web/build_libs.sh: no version of $package could be downloaded" >&2
    return 1
}

zlib=$(fetch zlib)
libpng=$(fetch libpng1.6)

# zlib's own configure (its CMake list needs files Debian's tarball drops).
if [ ! -f "$dir/lib/libz.a" ]; then
    (cd "$zlib" && CFLAGS=-O2 emconfigure ./configure --static --prefix="$dir" >/dev/null &&
        emmake make -j2 libz.a >/dev/null && emmake make install >/dev/null)
fi

if [ ! -f "$dir/lib/libpng.a" ]; then
    emcmake cmake -S "$libpng" -B "$dir/libpng-build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$dir" -DPNG_SHARED=OFF -DPNG_TESTS=OFF \
        -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_INCLUDE_DIR="$dir/include" -DZLIB_LIBRARY="$dir/lib/libz.a" >/dev/null
    cmake --build "$dir/libpng-build" -j 2 >/dev/null
    cmake --install "$dir/libpng-build" >/dev/null
    [ -f "$dir/lib/libpng.a" ] || ln -sf libpng16.a "$dir/lib/libpng.a"
fi
