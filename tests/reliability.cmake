# Reliability under faults: allocation failures at every step, I/O faults, cut-off and
# huge documents.
if(NOT TARGET ostrel_xkb OR NOT TARGET ostrel_generic)
  return()
endif()

set(_ostrel_reliability_data OSTREL_RELIABILITY_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/reliability")
ostrel_add_test(test_alloc_injection reliability/test_alloc_injection.cpp support/failing_alloc.cpp)
target_link_libraries(test_alloc_injection PRIVATE ostrel_xkb ostrel_generic)
target_compile_definitions(test_alloc_injection PRIVATE ${_ostrel_reliability_data})

# File-system and input faults, through the library and through the tool (POSIX: it uses
# /dev/full, fork and permissions).
if(NOT WIN32 AND TARGET ostrel)
  ostrel_add_test(test_io_faults reliability/test_io_faults.cpp)
  target_link_libraries(test_io_faults PRIVATE ostrel_xkb ostrel_generic)
  target_compile_definitions(test_io_faults PRIVATE OSTREL_TOOL="$<TARGET_FILE:ostrel>"
                             ${_ostrel_reliability_data})
endif()

# A 500 MB document, in the plain build only (the sanitizers' shadow memory and speed
# would measure themselves). Label "large"; ctest -LE large leaves it out.
if(NOT OSTREL_SANITIZE AND NOT WIN32)
  ostrel_add_test(test_large_document reliability/test_large_document.cpp
                  ${PROJECT_SOURCE_DIR}/bench/xkb_generator.cpp)
  target_link_libraries(test_large_document PRIVATE ostrel_xkb)
  set_tests_properties(test_large_document PROPERTIES LABELS large TIMEOUT 1200)
endif()

# Nesting far beyond the importers' limit, and right at it.
ostrel_add_test(test_deep_nesting reliability/test_deep_nesting.cpp)
target_link_libraries(test_deep_nesting PRIVATE ostrel_xkb ostrel_generic)
target_compile_definitions(test_deep_nesting PRIVATE ${_ostrel_reliability_data})

# Each fuzz target over its seed corpus, which keeps every crash fuzzing found.
if(NOT WIN32)
  set(_ostrel_fuzz ${PROJECT_SOURCE_DIR}/tests/fuzz)
  foreach(target symboltable simple_types generic_importer xkb_importer document_dtd dtd)
    set(_corpus ${_ostrel_fuzz}/corpus/${target})
    if(target MATCHES "importer$")
      set(_corpus ${_ostrel_fuzz}/corpus/documents)
    endif()
    ostrel_add_test(test_fuzz_replay_${target} reliability/fuzz_replay.cpp
                    ${_ostrel_fuzz}/fuzz_${target}.cpp)
    target_compile_definitions(test_fuzz_replay_${target} PRIVATE OSTREL_FUZZ_CORPUS="${_corpus}")
    target_link_libraries(test_fuzz_replay_${target} PRIVATE ostrel_xkb ostrel_generic)
  endforeach()
endif()
