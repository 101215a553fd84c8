# What `make install` puts under the prefix, and the Debian package made of the same files.
# Two desktop entries: de.quillfen.bravel.desktop starts the program from the menu;
# quillfen-bravel.desktop, not shown in menus, opens catalogs ("bravel %f /open/"), so a start
# from the menu never passes the marker alone. The catalog entry, the file type and the icons
# carry the names that Setup's per-user files use, so that the user's copies take the place of
# these instead of standing beside them.

configure_file(data/de.quillfen.bravel.metainfo.xml.in de.quillfen.bravel.metainfo.xml @ONLY)
configure_file(data/bravel.1 bravel.1 @ONLY)
configure_file(data/changelog changelog @ONLY)
# Manual pages and changelogs are installed compressed, without a time stamp in the archive.
foreach(page bravel.1 changelog)
  add_custom_command(OUTPUT ${page}.gz
                     COMMAND gzip -9 -n -c ${page} > ${page}.gz
                     DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${page}
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS bravel.1.gz changelog.gz)

install(TARGETS bravel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/de.quillfen.bravel.desktop data/quillfen-bravel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/quillfen-bravel.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES data/icons/quillfen-bravel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/icons/application-x-bravel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/de.quillfen.bravel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/bravel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bravel)
set(CPACK_PACKAGE_VENDOR "Quillfen Software")
set(CPACK_PACKAGE_CONTACT "Quillfen Software <bravel@quillfen.de>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "back up single files into backup folders kept in catalogs")
set(CPACK_PACKAGE_DESCRIPTION
    "Bravel keeps catalogs of files to back up: each entry pairs a source file\n\
with the folder it is backed up into. A backup run copies every selected\n\
entry into its folder again and notes size, date and the computer in the\n\
catalog. The user interface is German.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quillfen.de/bravel")
# The libraries come from dpkg-shlibdeps; Qt loads the SQLite driver, the SVG icon reader and its
# German texts at run time, which no linker sees.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
