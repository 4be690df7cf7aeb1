# SPDX-License-Identifier: MIT
# Installing the program, and packaging it with CPack (scripts/package.sh makes the .deb).

# The program finds Words.TxT in its own folder, so the two are installed together; on Unix that
# folder is lib/lexitrove, reached from bin/ through a relative symbolic link (the program
# resolves the link to find its folder).
include(GNUInstallDirs)
if(WIN32)
  install(TARGETS lexitrove RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/data/Words.TxT ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/NOTICE DESTINATION .)
else()
  set(LEXITROVE_INSTALL_DIR lib/lexitrove CACHE STRING
      "Folder of the program and its word list, relative to the installation prefix")
  install(TARGETS lexitrove RUNTIME DESTINATION ${LEXITROVE_INSTALL_DIR})
  install(FILES ${PROJECT_SOURCE_DIR}/data/Words.TxT DESTINATION ${LEXITROVE_INSTALL_DIR})
  file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${LEXITROVE_INSTALL_DIR}/lexitrove)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/install-bin)
  file(CREATE_LINK ${link_target} ${PROJECT_BINARY_DIR}/install-bin/lexitrove SYMBOLIC)
  install(FILES ${PROJECT_BINARY_DIR}/install-bin/lexitrove DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lexitrove.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lexitrove.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lexitrove.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.lexitrove.Lexitrove.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/NOTICE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# `cpack` in the build folder: a .deb where dpkg is at hand, an archive elsewhere.
set(CPACK_PACKAGE_NAME lexitrove)
set(CPACK_PACKAGE_VENDOR "The Lexitrove developers")
set(CPACK_PACKAGE_CONTACT "The Lexitrove developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Lines of the long description stay short, as Debian's control files want them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Lexitrove builds pass phrases of one to ten words, each drawn at random from"
       "a large word list, and puts every phrase on the clipboard at once. Commands"
       "rewrite the phrase in capitals, in lower case or with capital first letters,"
       "remove its spaces, or join its words with hyphens or full stops.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# A .deb made without dpkg-shlibdeps would lack its library dependencies and install a program
# that cannot start, so cpack refuses to make one (cmake/cpack-checks.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-checks.cmake)
find_program(DPKG_DEB_PROGRAM dpkg-deb)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
elseif(DPKG_DEB_PROGRAM)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The Qt libraries come from dpkg-shlibdeps; libqt6gui6 only recommends the platform plugins,
  # without which no window opens.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  # The phrase box's face where Courier New is not installed; and Qt's Wayland plugin, without
  # which a Wayland session without Xwayland opens no window, and with which the window is the
  # compositor's own (the phrase kept after exit on GNOME either way).
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-wayland")
  find_program(DPKG_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
  find_program(FILE_PROGRAM file)
  if(NOT DPKG_SHLIBDEPS_PROGRAM OR NOT FILE_PROGRAM)
    message(STATUS "Making the .deb needs dpkg-shlibdeps (package dpkg-dev) and file: scripts/package.sh installs them")
  endif()
else()
  set(CPACK_GENERATOR TGZ)
endif()
include(CPack)
