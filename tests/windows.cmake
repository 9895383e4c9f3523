# Platform checks on Windows: the export table of ostrelbase.dll and its entry point.
# (Documents as text-mode files are checked everywhere, by test_xmloutput.)

if(WIN32 AND BUILD_SHARED_LIBS)
  if(NOT CMAKE_OBJDUMP)
    message(FATAL_ERROR "objdump of the toolchain not found: the DLL's exports cannot be checked")
  endif()
  add_test(NAME dll_exports
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:ostrelbase>
            -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_dll_exports.cmake)

  # The check itself must fail where it should: a DLL with a helper and a C name exported,
  # without the Symbol functions and without the library's entry point.
  add_library(test_bad_exports SHARED windows/bad_exports.cpp)
  add_test(NAME dll_exports_rejects_internals
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:test_bad_exports>
            -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_dll_exports.cmake)
  set_tests_properties(dll_exports_rejects_internals PROPERTIES PASS_REGULAR_EXPRESSION
    "missing function SymbolLookup.*foreign name exported: ResolveEntityReferences.*internal name exported: _ZN6Ostrel6detail.*DisableThreadLibraryCalls is not imported")
endif()

# The tool end to end as a Windows program, through the emulator when cross-building.
if(WIN32 AND TARGET ostrel)
  find_program(OSTREL_HOST_XMLLINT xmllint)
  string(REPLACE ";" "|" _ostrel_runner "${CMAKE_CROSSCOMPILING_EMULATOR}")
  foreach(sample keyboards library)
    set(_ostrel_sample ${PROJECT_SOURCE_DIR}/samples/${sample}.xml)
    if(NOT EXISTS ${_ostrel_sample})
      continue()
    endif()
    add_test(NAME windows_tool_roundtrip_${sample}
      COMMAND ${CMAKE_COMMAND} "-DEMULATOR=${_ostrel_runner}" -DTOOL=$<TARGET_FILE:ostrel>
              -DINPUT=${_ostrel_sample} -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/roundtrip_${sample}
              -DXMLLINT=${OSTREL_HOST_XMLLINT}
              -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/run_tool_roundtrip.cmake)
  endforeach()
endif()
