# SPDX-License-Identifier: MIT
# The hardening Debian builds its packages with: fortified C library calls (optimised builds
# only, since fortification needs the optimiser), the strong stack protector, a
# position-independent executable, and relocations made read-only once resolved at start
# (full RELRO). On Windows the same protector and fortification (mingw-w64), and an image that
# Windows loads at a random address, 64-bit entropy included, with its data not executable.
# Visual Studio's compiler and linker do all of that by default. The fuzz build goes without:
# its sanitizers watch those calls themselves.
if(MSVC OR LEXITROVE_FUZZ)
  return()
endif()

add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-fstack-protector-strong>"
                    "$<$<AND:$<COMPILE_LANGUAGE:CXX>,$<NOT:$<CONFIG:Debug>>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
if(WIN32)
  # mingw-w64's GCC links its stack protector's library (libssp) only when told the flag there too.
  add_link_options(-fstack-protector-strong LINKER:--dynamicbase,--nxcompat,--high-entropy-va)
  return()
endif()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
if(NOT APPLE)
  add_link_options(LINKER:-z,relro,-z,now)
endif()
