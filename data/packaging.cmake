# cpack -G DEB: a Debian package of the installed tree, binaries stripped, dependencies found
# by dpkg-shlibdeps from the libraries the programs link.
set(CPACK_PACKAGE_NAME kestra-music-editor)
set(CPACK_PACKAGE_VENDOR "The Kestra Music Editor developers")
set(CPACK_PACKAGE_CONTACT "The Kestra Music Editor developers <kestra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Song editor for NES cartridge images and NSF files")
set(CPACK_PACKAGE_DESCRIPTION
  "Kestra Music Editor reads a song of an NES cartridge image or NSF file into editable
sheets, one per channel, and writes the edited song back into the same file. The package
holds the editor (kestra) and the command-line tool (kestra-cli).")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The file types and the menu entry take effect through these; the triggers of the packages
# that own them run on installation.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
include(CPack)
