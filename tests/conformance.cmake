# XML 1.0 conformance: the documents under conformance/ (not-wf/ refused, valid/ read),
# checked against libxml2 where xmllint and xml_tree_equal are at hand (POSIX only).
if(NOT TARGET ostrel_generic)
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/peers.cmake)

ostrel_add_test(test_conformance test_conformance.cpp)
target_link_libraries(test_conformance PRIVATE ostrel_generic)
target_compile_definitions(test_conformance PRIVATE
  OSTREL_CONFORMANCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/conformance")
if(NOT WIN32)
  find_program(XMLLINT xmllint)
  if(XMLLINT AND TARGET xml_tree_equal)
    target_compile_definitions(test_conformance PRIVATE
      OSTREL_XMLLINT="${XMLLINT}" OSTREL_TREE_EQUAL="$<TARGET_FILE:xml_tree_equal>")
  endif()
endif()
