# SPDX-License-Identifier: MIT
# Installing the Linux program, and packaging it with CPack (scripts/package.sh makes the .deb).
# The Windows program has its installer and zip in packaging/windows/.

# The program finds Words.TxT in its own folder, so the two are installed together, in
# lib/lexitrove, reached from bin/ through a relative symbolic link (the program resolves the
# link to find its folder).
include(GNUInstallDirs)
set(LEXITROVE_INSTALL_DIR lib/lexitrove CACHE STRING
    "Folder of the program and its word list, relative to the installation prefix")
install(TARGETS lexitrove RUNTIME DESTINATION ${LEXITROVE_INSTALL_DIR})
# A stripped install (cpack strips) also drops the compilers' .comment notes, as Debian's own
# packages do.
if(CMAKE_OBJCOPY)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
                  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${LEXITROVE_INSTALL_DIR}/lexitrove\"
                                  COMMAND_ERROR_IS_FATAL ANY)
                endif()")
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/Words.TxT DESTINATION ${LEXITROVE_INSTALL_DIR})
file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${LEXITROVE_INSTALL_DIR}/lexitrove)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/install-bin)
file(CREATE_LINK ${link_target} ${PROJECT_BINARY_DIR}/install-bin/lexitrove SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/install-bin/lexitrove DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lexitrove.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lexitrove.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lexitrove.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.lexitrove.Lexitrove.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# copyright holds both licences in Debian's machine-readable form, the MIT one in full.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_SOURCE_DIR}/NOTICE
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# lintian's word for what it judges wrongly in the package, with the reason.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME lexitrove)
# The manual page and the changelog go compressed, as Debian wants them: gzip -9 -n, so that
# the same sources give the same bytes.
find_program(LEXITROVE_GZIP gzip)
if(LEXITROVE_GZIP)
  set(compressed)
  foreach(source packaging/lexitrove.1 packaging/changelog)
    get_filename_component(file_name ${source} NAME)
    set(output ${PROJECT_BINARY_DIR}/packaging/${file_name}.gz)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
                       COMMAND ${LEXITROVE_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/${source} > ${output}
                       DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
    list(APPEND compressed ${output})
  endforeach()
  add_custom_target(lexitrove_compressed_docs ALL DEPENDS ${compressed})
  install(FILES ${PROJECT_BINARY_DIR}/packaging/lexitrove.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  message(WARNING "gzip not found: the manual page and the changelog are not installed")
endif()

# `cpack` in the build folder: a .deb where dpkg is at hand, an archive elsewhere.
set(CPACK_PACKAGE_NAME lexitrove)
set(CPACK_PACKAGE_VENDOR "The Lexitrove developers")
# At the project's own domain, the one its desktop and AppStream identifiers (org.lexitrove) name.
set(CPACK_PACKAGE_CONTACT "The Lexitrove developers <developers@lexitrove.org>")
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
if(DPKG_DEB_PROGRAM)
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
else()
  set(CPACK_GENERATOR TGZ)
endif()
include(CPack)
