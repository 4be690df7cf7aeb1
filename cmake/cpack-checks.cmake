# SPDX-License-Identifier: MIT
# Read by cpack before each package it makes. A .deb whose dependencies dpkg-shlibdeps did not
# compute would list none of the Qt libraries, and the program it installs could not start.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(LEXITROVE_SHLIBDEPS dpkg-shlibdeps)
  find_program(LEXITROVE_FILE file)
  if(NOT LEXITROVE_SHLIBDEPS OR NOT LEXITROVE_FILE)
    message(FATAL_ERROR "The .deb needs dpkg-shlibdeps (package dpkg-dev) and file to list the libraries "
                        "it depends on. scripts/package.sh installs them and makes the package; or run: "
                        "sudo apt-get install dpkg-dev file")
  endif()
endif()
