# SPDX-License-Identifier: MIT
# Cross-building the Windows program with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix flavour, named outright: Debian's unsuffixed compiler may be the win32 one, whose
# GCC 12 lacks std::mutex and std::thread. Test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LEXITROVE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LEXITROVE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LEXITROVE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LEXITROVE_MINGW_PREFIX}-windres)

# Libraries and headers from the cross root only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${LEXITROVE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# add_test, gtest_discover_tests and try_run start the Windows programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
