# Container, round-trip property and hostile-input tests of the reader.
add_executable(reader_property_tests
  container_test.cpp
  roundtrip_property_test.cpp
  hostile_input_test.cpp
  event_log.cpp
)
target_include_directories(reader_property_tests PRIVATE
  ${PROJECT_SOURCE_DIR}/reader
  ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(reader_property_tests PRIVATE qmv_reader qmv_writer GTest::gtest_main)
# hostile_input_test.cpp counts what the reader allocates: every malloc, free,
# calloc and realloc of the statically linked code passes through its
# wrappers (operator new is replaced there to allocate through malloc).
target_link_options(reader_property_tests PRIVATE
  "LINKER:--wrap=malloc,--wrap=calloc,--wrap=realloc,--wrap=free")
gtest_discover_tests(reader_property_tests)
