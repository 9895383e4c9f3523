# The XML scanner, the generic binding, the malformed corpus and the ostrel tool.
if(NOT TARGET ostrel_generic)
  return()
endif()

ostrel_add_test(test_scanner test_scanner.cpp)
target_link_libraries(test_scanner PRIVATE ostrel_generic)
target_compile_definitions(test_scanner PRIVATE
  OSTREL_SCANNER_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/scanner")

ostrel_add_test(test_generic test_generic.cpp)
target_link_libraries(test_generic PRIVATE ostrel_generic)
target_compile_definitions(test_generic PRIVATE OSTREL_GENERIC_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/generic")

ostrel_add_test(test_malformed test_malformed.cpp)
target_link_libraries(test_malformed PRIVATE ostrel_generic)
target_compile_definitions(test_malformed PRIVATE
  OSTREL_MALFORMED_DIR="${CMAKE_CURRENT_SOURCE_DIR}/malformed")

# The tool's checks run it as a POSIX program.
if(TARGET ostrel AND NOT WIN32)
  ostrel_add_test(test_tool test_tool.cpp)
  target_compile_definitions(test_tool PRIVATE
    OSTREL_TOOL="$<TARGET_FILE:ostrel>" OSTREL_SAMPLES="${PROJECT_SOURCE_DIR}/samples"
    OSTREL_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  if(TARGET ostrel_xkb)
    target_compile_definitions(test_tool PRIVATE OSTREL_WITH_XKB=1)
  endif()
endif()

# UTF-16 and the other encodings: documents under data/encoding read in each of them.
ostrel_add_test(test_encoding test_encoding.cpp)
target_link_libraries(test_encoding PRIVATE Ostrel::ostrelxml)
target_compile_definitions(test_encoding PRIVATE
  OSTREL_ENCODING_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/encoding"
  OSTREL_SCANNER_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/scanner")

# The declaration reader on its own, text declarations included; built from its sources,
# which the library keeps internal.
ostrel_add_test(test_declaration test_declaration.cpp ${PROJECT_SOURCE_DIR}/ostrelxml/prologue.cpp
                ${PROJECT_SOURCE_DIR}/ostrelxml/input.cpp ${PROJECT_SOURCE_DIR}/ostrelxml/charsets.cpp)
target_include_directories(test_declaration PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(test_declaration PRIVATE
  OSTREL_DECLARATION_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/declaration")
