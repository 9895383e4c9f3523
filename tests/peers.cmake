# Peer programs the tests compare against: xml_tree_equal (libxml2) and its own checks.
include_guard(GLOBAL)
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(LIBXML2 IMPORTED_TARGET libxml-2.0)
endif()

if(NOT LIBXML2_FOUND)
  message(STATUS "libxml2 not found: xml_tree_equal and the checks that use it are skipped")
  return()
endif()

add_executable(xml_tree_equal peers/xml_tree_equal.cpp)
target_link_libraries(xml_tree_equal PRIVATE PkgConfig::LIBXML2)

# xml_tree_equal itself: equal trees written differently, and each kind of difference
# reported with its first differing line.
set(PEER_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data/peers)
function(tree_equal_case name expected)
  add_test(NAME xml_tree_equal_${name} COMMAND xml_tree_equal ${ARGN})
  set_tests_properties(xml_tree_equal_${name} PROPERTIES PASS_REGULAR_EXPRESSION "${expected}")
endfunction()

add_test(NAME xml_tree_equal_same_tree_written_differently
  COMMAND xml_tree_equal ${PEER_DATA}/base.xml ${PEER_DATA}/reformatted.xml)
add_test(NAME xml_tree_equal_defaults_from_dtd
  COMMAND xml_tree_equal --dtd ${PEER_DATA}/catalog.dtd
          ${PEER_DATA}/defaults-implicit.xml ${PEER_DATA}/defaults-explicit.xml)
tree_equal_case(text "differ: /catalog/item\\[2\\]/title\\[1\\] text \"Blue\" vs [^ ]* text \"Green\""
  ${PEER_DATA}/base.xml ${PEER_DATA}/text-differs.xml)
tree_equal_case(attribute_value "differ: /catalog/item\\[2\\] @id=\"2\" vs /catalog/item\\[2\\] @id=\"3\""
  ${PEER_DATA}/base.xml ${PEER_DATA}/attribute-differs.xml)
tree_equal_case(attribute_missing "differ: /catalog/item\\[2\\] @kind=\"disc\" vs /catalog/item\\[2\\]/title"
  ${PEER_DATA}/base.xml ${PEER_DATA}/attribute-missing.xml)
tree_equal_case(element_name "differ: /catalog/item\\[2\\]/empty\\[1\\] vs /catalog/item\\[2\\]/full\\[1\\]"
  ${PEER_DATA}/base.xml ${PEER_DATA}/element-differs.xml)
tree_equal_case(extra_element "differ: \\(the end\\) vs /catalog/item\\[2\\]/extra\\[1\\]"
  ${PEER_DATA}/base.xml ${PEER_DATA}/extra-element.xml)
tree_equal_case(significant_whitespace "text \"Blue\" vs [^ ]* text \" Blue\""
  ${PEER_DATA}/base.xml ${PEER_DATA}/whitespace-differs.xml)
tree_equal_case(defaults_without_dtd "differ: /catalog/item\\[2\\] vs /catalog/item\\[1\\] @kind=\"book\""
  ${PEER_DATA}/defaults-implicit.xml ${PEER_DATA}/defaults-explicit.xml)
tree_equal_case(not_well_formed "is not a well-formed XML document"
  ${PEER_DATA}/base.xml ${PEER_DATA}/malformed.xml)
tree_equal_case(external_entity_not_read "needs an external entity, which is not read"
  ${PEER_DATA}/external-entity.xml ${PEER_DATA}/base.xml)
