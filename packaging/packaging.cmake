# Installation and the Debian package (cpack -G DEB in the build folder). Included at the
# end of the top-level CMakeLists.txt, after the corvane target exists.

include(GNUInstallDirs)
set(CORVANE_APP_ID io.github.corvane.corvane)
set(packaging_dir ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/corvane)

install(TARGETS corvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The desktop entry carries the AppStream id as its name, so software centres can match the
# two; the icon keeps the program's plain name.
install(FILES ${packaging_dir}/${CORVANE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${CORVANE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/corvane.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
install(FILES ${packaging_dir}/corvane-128.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps RENAME corvane.png)
install(FILES ${packaging_dir}/corvane.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian wants the manual page and the changelog compressed without a time stamp (gzip -n),
# so the package's bytes do not depend on when it was built. They are compressed when CMake
# configures, and again whenever their source changes.
function(corvane_gzip source target)
  execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${target}
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${source} failed: ${status}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

# A changelog whose newest entry is not this version would describe another release.
file(STRINGS ${packaging_dir}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^corvane \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${changelog_head}', "
    "not an entry for version ${PROJECT_VERSION}")
endif()
corvane_gzip(${packaging_dir}/corvane.1 ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz)
corvane_gzip(${packaging_dir}/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${packaging_dir}/copyright
  DESTINATION ${doc_dir})

set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Corvane developers <dev@corvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Make a framed HTML site from text files and JPEG images")
# The extended description, lines within 80 columns: CPack indents them and marks the empty
# line as Debian wants.
set(CPACK_PACKAGE_DESCRIPTION [=[
Corvane is a small desktop program with a Japanese interface that turns one
folder of plain-text (.TXT) and JPEG (.JPG) files into a framed HTML photo
album. Pick the files, arrange them into an ordered page list under
headings, choose the page colours, the menu width and side, and the length
of a picture's longer side, and Corvane writes the site into the same
folder: a frameset, a menu with one link per heading, and one page per
heading showing its pictures and the lines of its text files.

The page list is saved beside the site, so that after new pictures arrive it
can be reloaded, compared with the files picked now and brought up to date.
Text files, the page list and the pages are Shift_JIS.]=])
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries come from the binary itself (dpkg-shlibdeps); what it loads by name is added:
# the Japanese font the window is drawn in and Qt's own Japanese texts for its dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)

# The package pulls in the window's Japanese font; a plain install does not, and then the
# program must say which package is missing. Registered here, beside the dependency it
# stands in for.
if(CORVANE_BUILD_TESTS)
  # Installs into a scratch prefix and validates the desktop entry, icons and AppStream
  # metadata as installed, so a wrong install rule fails too, not only a wrong file.
  add_test(NAME DesktopFilesValidate
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/check-installed-tree ${CMAKE_BINARY_DIR})
  add_test(NAME FontWarning
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/font-warning $<TARGET_FILE:corvane>)
endif()
