# The Debian package: `cpack -G DEB` in the build directory, or
# `tools/velmor package`. Its dependencies are the shared libraries the
# programs actually link, as dpkg-shlibdeps finds them, so they follow the
# Qt of the machine that builds it. The desktop database, the MIME database
# and the icon cache are refreshed by the dpkg triggers of the packages that
# own them, so the package needs no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmor developers")
set(CPACK_PACKAGE_CONTACT "Velmor developers <velmor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tuning tool for a motorcycle ignition and injection unit")
# CPack indents the text and marks the empty line as a paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Velmor edits the maps and settings of an aftermarket ignition and
fuel-injection unit for motorcycles, reads, programs and verifies the unit
over a serial line, shows the engine live with the operating point lit in
the map, and keeps configurations in .ign files, in English, German, French
or Czech.

The package holds the window (velmor), the command-line tool (velmor-cli)
and a simulated unit on a pseudo-terminal (velmor-sim).")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's translations are data, which dpkg-shlibdeps cannot see: without them
# the standard buttons and the file dialogs stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
