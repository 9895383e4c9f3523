# The read path's fast scanning: results that must not depend on where the input's
# blocks end, and the importers' handling of white space.
if(NOT TARGET ostrel_generic OR NOT TARGET ostrel_xkb)
  return()
endif()

ostrel_add_test(test_read_path test_read_path.cpp)
target_link_libraries(test_read_path PRIVATE ostrel_generic ostrel_xkb)
target_compile_definitions(test_read_path PRIVATE
  OSTREL_SCANNER_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/scanner")
