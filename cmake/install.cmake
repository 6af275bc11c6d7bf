# What `cmake --install` puts where: the programs, the libraries with their
# public headers, a CMake package (find_package(qmv)) and a pkg-config file,
# and the notice and docs. The desktop files, man pages and completion
# install themselves from their folders.
include(CMakePackageConfigHelpers)

install(TARGETS qmv-viewer qmv-dump qmv-render qmv-as qmv-dis
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The libraries another project links: the format's facts (headers only),
# the reader, the writer, the renderer and its offscreen context. They are static; the stroke font goes with the
# renderer, which links it, but its header is not public.
set(qmv_libraries qmv_format qmv_reader qmv_writer qmv_renderer qmv_headless qmv_stroke_font)
foreach(library IN LISTS qmv_libraries)
  string(REPLACE "qmv_" "" exported ${library})
  set_target_properties(${library} PROPERTIES EXPORT_NAME ${exported})
endforeach()
# They make the package's development part (the Development component);
# everything else is the viewer's.
install(TARGETS ${qmv_libraries} EXPORT qmvTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
foreach(headers format/include reader/include writer/include renderer/include renderer/headless/include)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${headers}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
          COMPONENT Development FILES_MATCHING PATTERN "*.h")
endforeach()

set(qmv_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/qmv)
install(EXPORT qmvTargets NAMESPACE qmv:: DESTINATION ${qmv_cmake_dir} COMPONENT Development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/qmvConfig.cmake.in
  ${PROJECT_BINARY_DIR}/qmvConfig.cmake INSTALL_DESTINATION ${qmv_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/qmvConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/qmvConfig.cmake ${PROJECT_BINARY_DIR}/qmvConfigVersion.cmake
        DESTINATION ${qmv_cmake_dir} COMPONENT Development)

# The file finds the prefix from where it lies, so that the same file serves
# an install under any prefix or DESTDIR, and the package.
file(RELATIVE_PATH qmv_pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
# A static reader needs its inflater's library at link time.
if(QMV_INFLATE_WITH_ISAL)
  set(qmv_pc_inflater "libisal ")
else()
  set(qmv_pc_inflater "")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/qmv.pc.in ${PROJECT_BINARY_DIR}/qmv.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/qmv.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT Development)

install(FILES ${PROJECT_SOURCE_DIR}/NOTICE ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR})
