# The XKB binding: its element classes, its importer, and round trips of real documents
# checked against libxml2 (xmllint, xml_tree_equal).
if(NOT TARGET ostrel_xkb)
  return()
endif()

set(XKB_TEST_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data/xkb)

foreach(name elements importer)
  ostrel_add_test(test_xkb_${name} xkb/test_xkb_${name}.cpp)
  target_link_libraries(test_xkb_${name} PRIVATE ostrel_xkb)
  target_compile_definitions(test_xkb_${name} PRIVATE XKB_TEST_DATA="${XKB_TEST_DATA}")
endforeach()
target_sources(test_xkb_elements PRIVATE support/failing_alloc.cpp)

add_executable(xkb_roundtrip gen/gen_roundtrip.cpp)
target_link_libraries(xkb_roundtrip PRIVATE ostrel_xkb)
target_compile_definitions(xkb_roundtrip PRIVATE GEN_HEADER="xkb/xkb_importer.h"
  GEN_NAMESPACE=xkb GEN_DTD="xkb.dtd")

# Real documents of the type, and the project's own sample: imported, written back,
# valid against the DTD, and the same tree as libxml2 reads from the input.
set(XKB_RULES /usr/share/X11/xkb/rules)
find_program(XMLLINT xmllint)
if(NOT XMLLINT OR NOT TARGET xml_tree_equal OR NOT EXISTS ${XKB_RULES}/xkb.dtd)
  message(WARNING "xmllint, libxml2 or xkb-data missing: the XKB peer checks are not run")
  return()
endif()
foreach(input ${XKB_RULES}/base.xml ${XKB_RULES}/base.extras.xml ${XKB_TEST_DATA}/sample.xml)
  get_filename_component(stem ${input} NAME_WE)
  get_filename_component(ext ${input} EXT)
  string(REPLACE "." "_" stem "${stem}${ext}")
  add_test(NAME xkb_peer_${stem}
    COMMAND ${CMAKE_COMMAND}
      -DROUNDTRIP=$<TARGET_FILE:xkb_roundtrip>
      -DXMLLINT=${XMLLINT}
      -DTREE_EQUAL=$<TARGET_FILE:xml_tree_equal>
      -DDTD=${XKB_RULES}/xkb.dtd
      -DINPUT=${input}
      -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/xkb_peer_${stem}.out.xml
      -P ${CMAKE_CURRENT_SOURCE_DIR}/xkb/run_peer_check.cmake)
endforeach()
