# A cross build with Debian's cross compilers (g++-aarch64-linux-gnu or
# g++-s390x-linux-gnu), its programs run under qemu-user:
#   cross/fetch_libs.sh arm64 build-arm64/target
#   cmake -S . -B build-arm64 --toolchain cross/debian.cmake -DKIRMAVO_TARGET_ARCH=arm64
# KIRMAVO_TARGET_ROOT is the target's file tree that fetch_libs.sh unpacked
# (by default BUILD/target/root). The generators that run during the build,
# and the tests, run through CMAKE_CROSSCOMPILING_EMULATOR, which reads the
# target's libraries from that tree.
set(KIRMAVO_TARGET_ARCH "" CACHE STRING "the Debian architecture to build for: arm64 or s390x")
set(KIRMAVO_TARGET_ROOT "${CMAKE_BINARY_DIR}/target/root" CACHE PATH "the target's libraries, from cross/fetch_libs.sh")
# The checks CMake compiles on the way see the same two settings.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KIRMAVO_TARGET_ARCH KIRMAVO_TARGET_ROOT)

# Debian's name for the architecture, its GNU triplet (the compilers' prefix
# and the library folder) and qemu's name for the processor.
if(KIRMAVO_TARGET_ARCH STREQUAL "arm64")
  set(triplet aarch64-linux-gnu)
  set(cpu aarch64)
elseif(KIRMAVO_TARGET_ARCH STREQUAL "s390x")
  set(triplet s390x-linux-gnu)
  set(cpu s390x)
else()
  message(FATAL_ERROR "cross/debian.cmake: set KIRMAVO_TARGET_ARCH to arm64 or s390x")
endif()
set(root ${KIRMAVO_TARGET_ROOT})
if(NOT EXISTS ${root}/usr/lib/${triplet}/pkgconfig/sdl.pc)
  message(FATAL_ERROR "cross/debian.cmake: no ${KIRMAVO_TARGET_ARCH} libraries in ${root}; "
                      "run cross/fetch_libs.sh ${KIRMAVO_TARGET_ARCH} ${root}/..")
endif()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${cpu})
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
# GCC notes where arm64 passes a struct differently since GCC 10; nothing
# here mixes code from two compilers.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

# Libraries, headers and packages from the target's tree only; programs
# (pkg-config, the peer players' absence) from the machine.
set(CMAKE_FIND_ROOT_PATH ${root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
unset(ENV{PKG_CONFIG_PATH})
set(ENV{PKG_CONFIG_LIBDIR} ${root}/usr/lib/${triplet}/pkgconfig:${root}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${root})

# SDL's own libraries (ALSA, PulseAudio, X11, ...) are found at link time
# through these folders, as the target's loader would find them; libpulse
# keeps its private part in a folder of its own.
foreach(type EXE SHARED MODULE)
  set(CMAKE_${type}_LINKER_FLAGS_INIT "-Wl,-rpath-link,${root}/lib/${triplet} \
-Wl,-rpath-link,${root}/usr/lib/${triplet} -Wl,-rpath-link,${root}/usr/lib/${triplet}/pulseaudio")
endforeach()

# qemu-user with the tree as the target's root: its loader, libc and every
# library come from there. Cached, for scripts that run the programs too.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-${cpu} -L ${root}
    CACHE STRING "how the programs built here are run" FORCE)
