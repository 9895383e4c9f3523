# The DTD reader: internal subsets, DTD files with their modules, the system's DTDs.
ostrel_add_test(test_dtd test_dtd.cpp)
target_link_libraries(test_dtd PRIVATE Ostrel::ostrelxml)
target_compile_definitions(test_dtd PRIVATE
  OSTREL_DTD_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/dtd")
