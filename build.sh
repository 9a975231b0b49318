#!/bin/sh
# Set up, build and run Kirmavo on Debian 12.
#   ./build.sh play   install what is missing, build, play the demo in a window
#   ./build.sh test   install what is missing, build, run every test; build
#                     for arm64 and s390x and check under qemu that they make
#                     the same bytes; build the show for web browsers and test
#                     it under node and headless Chromium; build again with
#                     AddressSanitizer and UBSan and rerun the tests; fuzz the
#                     loaders for a minute each; play the demo under
#                     ThreadSanitizer
#   ./build.sh web    install what is missing, build the show for web browsers
#                     into build-web/site and serve it on http://127.0.0.1:8000/
#                     (PORT=N for another port)
#   ./build.sh release  install what is missing, then write release/: the
#                     Debian package and its -dbgsym, the web archive as .zip
#                     and .tar.gz, and SHA256SUMS; the same commit gives the
#                     same bytes (dist/check.sh checks it)
set -eu
cd "$(dirname "$0")"

mode=${1:-play}
case "$mode" in
play | test | web | release) ;;
*)
    echo "usage: $0 play|test|web|release" >&2
    exit 2
    ;;
esac

# What building needs, then what only the tests need.
build_packages="cmake g++ make pkg-config libsdl1.2-dev libpng-dev zlib1g-dev"
test_packages="libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick libxmp-dev libopenmpt-dev ffmpeg libsdl1.2-compat clang libclang-rt-14-dev"
# The cross builds the tests compare with this one, run under qemu.
test_packages="$test_packages g++-aarch64-linux-gnu g++-s390x-linux-gnu qemu-user"

# The browser build: emscripten, and dpkg-dev to unpack Debian's zlib and
# libpng sources for it; the browser tests add a headless Chromium.
web_packages="emscripten nodejs python3 dpkg-dev"
web_test_packages="chromium-headless-shell"

# The Debian package, built by dpkg-buildpackage (which also asks for
# build-essential), and what the tests check it with; the web archive.
package_packages="debhelper dpkg-dev build-essential"
package_test_packages="lintian desktop-file-utils appstream"
release_packages="zip"

packages=$build_packages
[ "$mode" = test ] && packages="$packages $test_packages $web_packages $web_test_packages $package_packages $package_test_packages"
[ "$mode" = web ] && packages="$packages $web_packages"
[ "$mode" = release ] && packages="$packages $web_packages $package_packages $release_packages"

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi

jobs=$(nproc 2>/dev/null || echo 2)

if [ "$mode" = release ]; then
    exec dist/release.sh build-release release
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "$mode" = web ]; then
    # The browser build takes data/ and the generated sources from here.
    cmake --build build -j "$jobs" --target content music content_gen
    web/build.sh build build-web
    port=${PORT:-8000}
    echo "The show is served at this address; open it in a web browser (Ctrl+C stops):"
    echo "http://127.0.0.1:$port/"
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
fi
cmake --build build -j "$jobs"

if [ "$mode" = play ]; then
    # The programs look for data/ in the working directory; the build made it here.
    cd build
    exec ./demo2x -w
fi

ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

# The same bytes on arm64 and on the big-endian s390x: the generators and
# capture cross-built and run under qemu-user give this build's data files,
# golden frames and soundtrack; on arm64 the unit tests that need no SDL
# pass too.
cross/check.sh arm64 build build-arm64 player_loader_test player_engine_test player_start_state_test \
    mixer_tests fx_test mesh_test scenes_test long_run_test
cross/check.sh s390x build build-s390x

# The same show compiled for web browsers, against the Linux build: capture
# under node, the page in headless Chromium.
web/build.sh build build-web
tests/web/browser_test.py build build-web

# The Debian package: built from the tracked files away from the tree,
# lintian-clean, and its unpacked capture writing the golden frames.
dist/package_test.sh build build-package

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRMAVO_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" --timeout 600

# The loaders under libFuzzer, built with clang: every seed and every kept
# crash replayed, then a minute of fuzzing per target.
fuzz_flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRMAVO_FUZZ=ON \
    -DCMAKE_C_FLAGS="$fuzz_flags" -DCMAKE_CXX_FLAGS="$fuzz_flags"
cmake --build build-fuzz -j "$jobs" --target fuzz_module fuzz_png fuzz_mesh fuzz_seeds
tests/fuzz/run.sh build-fuzz build/data 60

# The demo under ThreadSanitizer on Xvfb, with a sound device and without.
tsan_flags="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS="$tsan_flags" \
    -DCMAKE_CXX_FLAGS="$tsan_flags" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
cmake --build build-tsan -j "$jobs" --target demo sdl_timer_minimal
tests/hardening/race_check.sh build-tsan build 20
