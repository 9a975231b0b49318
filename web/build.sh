#!/bin/sh
# Builds the browser's site from the native build's data and generated sources.
#   web/build.sh NATIVE_BUILD WEB_BUILD
# leaves the static site in WEB_BUILD/site (index.html, kirmavo.js,
# kirmavo.wasm, kirmavo.data) and capture for node in WEB_BUILD/cmake/tools/capture.
set -eu
cd "$(dirname "$0")/.."

native=$(realpath "$1")
web=$(realpath -m "$2")
export NODE_PATH=/usr/share/nodejs  # Debian's emscripten finds acorn there

web/build_libs.sh "$web/libs"

emcmake cmake -S web -B "$web/cmake" -DCMAKE_BUILD_TYPE=Release \
    -DKIRMAVO_NATIVE_BUILD="$native" -DKIRMAVO_WEB_LIBS="$web/libs" >/dev/null
cmake --build "$web/cmake" -j "$(nproc 2>/dev/null || echo 2)" --target kirmavo capture

site="$web/site"
mkdir -p "$site"
cp "$web/cmake/index.html" "$site/"
for part in js wasm data; do
    cp "$web/cmake/kirmavo.$part" "$site/"
done
# The linker marks the wasm file executable; a web host needs none of them so.
chmod 644 "$site"/*
# The data package's id is a random uuid; one made from the data's sha256
# changes with the data as well, and the same data gives the same page.
uuid=$(sha256sum "$site/kirmavo.data" |
    sed 's/^\(.\{8\}\)\(.\{4\}\)\(.\{4\}\)\(.\{4\}\)\(.\{12\}\).*/\1-\2-\3-\4-\5/')
sed -i "s/\"package_uuid\":\"[0-9a-f-]*\"/\"package_uuid\":\"$uuid\"/" "$site/kirmavo.js"
