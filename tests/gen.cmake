# Generated bindings: ostrel-gen through ostrel_generate on the small document types of
# tests/data/gen/, their behaviour, their round trips checked by libxml2, and the
# generator's own errors and determinism.
if(NOT TARGET ostrel-gen)
  return()
endif()

set(GEN_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data/gen)
ostrel_generate(gen_library DTD ${GEN_DATA}/library/library.dtd
  TYPES ${GEN_DATA}/library/library.types ROOT library)
ostrel_generate(gen_names DTD ${GEN_DATA}/names/names.dtd TYPES ${GEN_DATA}/names/names.types)
ostrel_generate(gen_wide DTD ${GEN_DATA}/wide/wide.dtd)

ostrel_add_test(test_gen_bindings gen/test_gen_bindings.cpp)
target_link_libraries(test_gen_bindings PRIVATE gen_library gen_names gen_wide)
target_compile_definitions(test_gen_bindings PRIVATE GEN_TEST_DATA="${GEN_DATA}")

# The checks that run other programs (the generator, xmllint, xml_tree_equal) are POSIX
# ones; on Windows the generated bindings' own tests run.
if(WIN32)
  return()
endif()

ostrel_add_test(test_gen_tool gen/test_gen_tool.cpp)
add_dependencies(test_gen_tool ostrel-gen)
target_compile_definitions(test_gen_tool PRIVATE GEN_TEST_DATA="${GEN_DATA}"
  OSTREL_GEN="$<TARGET_FILE:ostrel-gen>")

# The round trip of every valid document, checked by xmllint and xml_tree_equal.
include(${CMAKE_CURRENT_LIST_DIR}/peers.cmake)
find_program(XMLLINT xmllint)
if(NOT XMLLINT OR NOT TARGET xml_tree_equal)
  message(WARNING "xmllint or libxml2 missing: the generated bindings' peer checks are not run")
  return()
endif()
foreach(binding library names)
  add_executable(gen_roundtrip_${binding} gen/gen_roundtrip.cpp)
  target_link_libraries(gen_roundtrip_${binding} PRIVATE gen_${binding})
  target_compile_definitions(gen_roundtrip_${binding} PRIVATE GEN_HEADER="${binding}.h"
    GEN_NAMESPACE=${binding} GEN_DTD="${binding}.dtd")
endforeach()
# (defaults.xml is left out: its typed text loses its blanks, as its expected output shows.)
foreach(document library/shapes names/names)
  get_filename_component(binding ${document} DIRECTORY)
  string(REPLACE "/" "_" stem ${document})
  add_test(NAME gen_peer_${stem}
    COMMAND ${CMAKE_COMMAND}
      -DROUNDTRIP=$<TARGET_FILE:gen_roundtrip_${binding}>
      -DXMLLINT=${XMLLINT}
      -DTREE_EQUAL=$<TARGET_FILE:xml_tree_equal>
      -DDTD=${GEN_DATA}/${binding}/${binding}.dtd
      -DINPUT=${GEN_DATA}/${document}.xml
      -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/gen_peer_${stem}.out.xml
      -P ${CMAKE_CURRENT_SOURCE_DIR}/xkb/run_peer_check.cmake)
endforeach()

# fontconfig, a real document type end to end: the configuration files of this system.
set(FONTCONFIG_DTD /usr/share/xml/fontconfig/fonts.dtd)
if(NOT EXISTS ${FONTCONFIG_DTD})
  message(WARNING "no ${FONTCONFIG_DTD}: the fontconfig round trips are not run")
  return()
endif()
ostrel_generate(gen_fonts DTD ${FONTCONFIG_DTD} TYPES ${GEN_DATA}/fontconfig/fonts.types
  ROOT fontconfig)
add_executable(gen_roundtrip_fonts gen/gen_roundtrip.cpp)
target_link_libraries(gen_roundtrip_fonts PRIVATE gen_fonts)
target_compile_definitions(gen_roundtrip_fonts PRIVATE GEN_HEADER="fonts.h" GEN_NAMESPACE=fonts
  GEN_DTD="fonts.dtd")
add_executable(gen_fonts_typed gen/fonts_typed.cpp)
target_link_libraries(gen_fonts_typed PRIVATE gen_fonts)
add_test(NAME gen_fontconfig
  COMMAND ${CMAKE_COMMAND}
    -DROUNDTRIP=$<TARGET_FILE:gen_roundtrip_fonts>
    -DTYPED=$<TARGET_FILE:gen_fonts_typed>
    -DXMLLINT=${XMLLINT}
    -DTREE_EQUAL=$<TARGET_FILE:xml_tree_equal>
    -DDTD=${FONTCONFIG_DTD}
    -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/gen_fontconfig
    -P ${CMAKE_CURRENT_SOURCE_DIR}/gen/run_fontconfig.cmake)
