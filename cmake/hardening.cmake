# SPDX-License-Identifier: MIT
# The hardening Debian builds its packages with: fortified C library calls (optimised builds
# only, since fortification needs the optimiser), the strong stack protector, a
# position-independent executable, and relocations made read-only once resolved at start
# (full RELRO). The fuzz build goes without: its sanitizers watch those calls themselves.
if(MSVC OR LEXITROVE_FUZZ)
  return()
endif()

add_compile_options(-fstack-protector-strong
                    "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
if(NOT APPLE)
  add_link_options(LINKER:-z,relro,-z,now)
endif()
