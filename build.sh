#!/bin/sh
# Set up, build and run Kirmavo on Debian 12.
#   ./build.sh play   install what is missing, build, play the demo in a window
#   ./build.sh test   install what is missing, build, run every test, then
#                     build again with AddressSanitizer and UBSan and rerun them
set -eu
cd "$(dirname "$0")"

mode=${1:-play}
case "$mode" in
play | test) ;;
*)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac

# What building needs, then what only the tests need.
build_packages="cmake g++ make pkg-config libsdl1.2-dev libpng-dev zlib1g-dev"
test_packages="libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick libxmp-dev libopenmpt-dev ffmpeg libsdl1.2-compat"

packages=$build_packages
[ "$mode" = test ] && packages="$packages $test_packages"

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

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"

if [ "$mode" = play ]; then
    # The programs look for data/ in the working directory; the build made it here.
    cd build
    exec ./demo2x -w
fi

ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRMAVO_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" --timeout 600
