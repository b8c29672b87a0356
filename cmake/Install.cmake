# `cmake --install` and `make deb`: the program, its desktop entry, its icon at the icon theme's
# sizes and its AppStream file, each where the desktop looks for it. The program tells it is
# installed by its desktop entry in ../share/applications, so bin and share stay side by side.
include(GNUInstallDirs)

install(TARGETS tobiquill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Export, backup and restore run in a program of their own, which tobiquill finds here.
install(TARGETS tobiquill-archive RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tobiquill)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${TOBIQUILL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${PROJECT_SOURCE_DIR}/resources/${TOBIQUILL_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${TOBIQUILL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${TOBIQUILL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The sizes are drawn by tools/artwork and kept in resources/icons.
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${TOBIQUILL_APP_ID}.png)
endforeach()

# The Debian package. Its dependencies come from the shared libraries the program links
# (dpkg-shlibdeps); the font and Qt's translations are recommended, an input method suggested.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tobiquill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tobiquill developers <tobiquill@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diary that shows one day at a time, in Japanese")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "A small diary with a Japanese interface: one day at a time in a small skinned window,\n"
       "the date, a one-line title and the day's text, saved as Shift-JIS text files in the\n"
       "user's data folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ibus-anthy | ibus-mozc | fcitx5-frontend-qt6")
include(CPack)
