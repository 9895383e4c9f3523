# Reads the export table of ostrelbase.dll and checks what the library shows its users:
# the twelve Symbol functions under their plain names, the public classes, and nothing
# else: no helper, no other C name, no code of the C++ runtime, nothing internal.
#   cmake -DOBJDUMP=<objdump> -DDLL=<ostrelbase.dll> -P check_dll_exports.cmake
cmake_minimum_required(VERSION 3.20)
foreach(var OBJDUMP DLL)
  if(NOT ${var})
    message(FATAL_ERROR "check_dll_exports: ${var} not given")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${DLL}
  OUTPUT_VARIABLE dump ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${err}")
endif()

# The name table runs from its heading to the next empty line.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${DLL} has no export name table")
endif()
string(SUBSTRING "${dump}" ${at} -1 table)
string(FIND "${table}" "\n\n" end)
if(NOT end EQUAL -1)
  string(SUBSTRING "${table}" 0 ${end} table)
endif()
string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [^\n]+" lines "${table}")
set(exports "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^\n\t\\[ *[0-9]+\\] " "" name "${line}")
  list(APPEND exports "${name}")
endforeach()
list(LENGTH exports count)
message(STATUS "${DLL}: ${count} exported names")

set(problems "")

# The symbol table's functions, exactly these, plain and undecorated.
set(symbol_functions SymbolLookup SymbolInsert SymbolAssociate SymbolGetEntry
  SymbolGetAssociatedIndex SymbolGetAssociatedVal SymbolGetToken SymbolGetCount
  SymbolResetTable SymbolResolveEntities SymbolGetLastError SymbolPrintTable)
foreach(fn IN LISTS symbol_functions)
  if(NOT fn IN_LIST exports)
    string(APPEND problems "\n  missing function ${fn}")
  endif()
endforeach()

# Every public class has its members exported (mangled: namespace, then class name).
set(classes XObject XException string NMTOKENS IDREFS boolean real decimal integer
  non_negative_integer positive_integer non_positive_integer negative_integer
  XObjectFactory XMLImporterBase)
foreach(cls IN LISTS classes)
  string(LENGTH "${cls}" len)
  set(member_regex "^_ZNK?6Ostrel${len}${cls}")
  set(found FALSE)
  foreach(name IN LISTS exports)
    if(name MATCHES "${member_regex}")
      set(found TRUE)
      break()
    endif()
  endforeach()
  if(NOT found)
    string(APPEND problems "\n  class Ostrel::${cls} has no exported member")
  endif()
endforeach()

# Everything else must be a C++ name of namespace Ostrel: a member, vtable, typeinfo,
# thunk or guard variable. Anonymous namespaces and helper namespaces stay inside.
set(ostrel_regex "^_Z(NK?|TVN|TIN|TSN|TTN|GVN|Thn?[0-9]+_NK?|Tvn?[0-9]+_n?[0-9]+_NK?)6Ostrel[0-9]")
foreach(name IN LISTS exports)
  if(name IN_LIST symbol_functions)
    continue()
  endif()
  if(NOT name MATCHES "${ostrel_regex}")
    string(APPEND problems "\n  internal or foreign name exported: ${name}")
  elseif(name MATCHES "_GLOBAL__N|6detail|8internal|4impl")
    string(APPEND problems "\n  internal name exported: ${name}")
  endif()
endforeach()

# The entry point is the library's own: it turns off thread notifications.
string(SUBSTRING "${dump}" 0 ${at} before_exports)
if(NOT before_exports MATCHES "[ \t]DisableThreadLibraryCalls\n")
  string(APPEND problems "\n  DisableThreadLibraryCalls is not imported: DllMain is missing")
endif()

if(problems)
  message(FATAL_ERROR "export table of ${DLL} is wrong:${problems}")
endif()
message(STATUS "export table of ${DLL}: as expected")
