#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, cross-builds Lexitrove for Windows in Release with Debian's mingw-w64
# into $BUILD_WINDOWS (default: build-windows), with $CMAKE_FLAGS added to the configure step,
# and prints the paths of the program, the installer and the portable zip.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_WINDOWS:-build-windows}
BUILD=$build scripts/install-deps.sh windows
mkdir -p "$build"
# shellcheck disable=SC2086 # CMAKE_FLAGS is a list of flags
if ! cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
       ${CMAKE_FLAGS:-} > "$build/configure.log" 2>&1; then
  cat "$build/configure.log"
  exit 1
fi
cmake --build "$build" -j"$(scripts/jobs.sh)" --target lexitrove windows_package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
folder=$(realpath "$build")
echo "program:   $folder/lexitrove.exe"
echo "installer: $folder/Lexitrove-$version-setup.exe"
echo "zip:       $folder/Lexitrove-$version-portable.zip"
