# `cpack` (and `make package`) makes a Debian package of the installed layout. The libraries
# the programs link are found by dpkg-shlibdeps; what Qt loads as plugins is named here.
set(TESSORA_PACKAGE_MAINTAINER "Tessora developers <developers@tessora.org>"
  CACHE STRING "The Debian package's maintainer, \"Name <address>\"")

# Debian wants a copyright file and a changelog in the package's documentation folder.
set(package_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tessora)
string(TIMESTAMP package_date "%a, %d %b %Y 00:00:00 +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/package/changelog.in
  ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
  COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/package/changelog > ${CMAKE_BINARY_DIR}/package/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/package/changelog)
add_custom_target(tessora_package_doc ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/package/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz
  DESTINATION ${package_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessora)
set(CPACK_PACKAGE_VENDOR "The Tessora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "open several applications at once and arrange their windows")
set(CPACK_PACKAGE_CONTACT "${TESSORA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tessora)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSORA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The launcher shows applications' SVG icons through Qt's SVG plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-manrope, hicolor-icon-theme")
# CPack puts the summary above this as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Tessora is a small resident tray utility for X11 desktops. A global
shortcut (Ctrl+Escape) opens a floating launcher: search the installed
applications, pick a few, and open them as they are or in one of eight
layouts. Tessora opens (or finds) each application, waits for its windows
and moves them into the layout's regions through the window manager.")

include(CPack)
