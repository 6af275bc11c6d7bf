# `make package`: Debian packages made by CPack from the install.
#   qmv-viewer  the programs, the desktop files, man pages, completion, docs
#   libqmv-dev  the libraries, headers, CMake package and pkg-config file
# The shared-library dependencies are worked out from the binaries by
# dpkg-shlibdeps. The MIME, desktop-entry and icon caches are brought up to
# date by the file triggers that shared-mime-info, desktop-file-utils and
# the icon cache's package declare on the folders these files go to, so the
# package needs no maintainer scripts of its own; it recommends them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qmv-viewer)
set(CPACK_PACKAGE_VENDOR "The QMV viewer developers")
set(CPACK_PACKAGE_CONTACT "QMV viewer developers <qmv@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer and tools for QMV vector scene files")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified Development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})

set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME qmv-viewer)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_RECOMMENDS
    "shared-mime-info, desktop-file-utils, hicolor-icon-theme, bash-completion")
set(CPACK_COMPONENT_UNSPECIFIED_DESCRIPTION
    "qmv-viewer opens QMV scene files, bit-packed 2-D vector drawings raw or
 compressed, and shows them with zoom, pan and layers, also drawings of
 tens of millions of points. The package also holds command-line tools:
 qmv-dump decodes a scene, qmv-render draws it to PNG without a display
 (and makes the file manager's thumbnails), qmv-as and qmv-dis assemble and
 disassemble its text form.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libqmv-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "zlib1g-dev, libisal-dev, libpng-dev, libgl-dev, libglu1-mesa-dev, libegl-dev")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DESCRIPTION_SUMMARY
    "reader, writer and renderer libraries for QMV scene files")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "Static libraries and headers of the QMV scene file reader, writer and
 OpenGL renderer, with a CMake package (find_package(qmv)) and a
 pkg-config file.")
# Each package's folder under /usr/share/doc holds its copyright and, as a
# native package's, its changelog, compressed the Debian way.
foreach(component Unspecified Development)
  string(TOUPPER ${component} upper)
  set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  set(changelog ${PROJECT_BINARY_DIR}/packaging/${package}/changelog)
  set(CPACK_PACKAGE_NAME ${package})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${changelog} @ONLY)
  add_custom_command(OUTPUT ${changelog}.gz
    COMMAND gzip -9nkf ${changelog} DEPENDS ${changelog} VERBATIM)
  add_custom_target(changelog-${package} ALL DEPENDS ${changelog}.gz)
  install(FILES ${changelog}.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()
set(CPACK_PACKAGE_NAME qmv-viewer)
include(CPack)
