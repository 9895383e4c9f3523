# The ostrel tool as a Windows program, end to end: it reads a document and writes it
# back as a text-mode file (CR LF line ends), reads its own output back to the same bytes,
# and the build machine's xmllint, when given, reads that output as well-formed XML.
#   cmake -DEMULATOR=<runner|args, may be empty> -DTOOL=<ostrel.exe> -DINPUT=<document>
#         -DWORK_DIR=<dir> [-DXMLLINT=<xmllint>] -P run_tool_roundtrip.cmake
cmake_minimum_required(VERSION 3.20)
foreach(var TOOL INPUT WORK_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "run_tool_roundtrip: ${var} not given")
  endif()
endforeach()
string(REPLACE "|" ";" runner "${EMULATOR}")

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(first ${WORK_DIR}/first.xml)
set(second ${WORK_DIR}/second.xml)

function(roundtrip in out)
  execute_process(COMMAND ${runner} ${TOOL} roundtrip ${in} ${out}
    RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT rc EQUAL 0 OR NOT EXISTS ${out})
    message(FATAL_ERROR "ostrel roundtrip ${in} ${out} failed (${rc}):\n${stdout}${stderr}")
  endif()
  string(STRIP "${stdout}${stderr}" said)
  message(STATUS "${said}")
endfunction()

roundtrip(${INPUT} ${first})
# Byte by byte (file(READ) as text drops CRs): every LF must follow a CR.
file(READ ${first} hex HEX)
string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
string(REPLACE "0d 0a " "CRLF " bytes "${bytes}")
string(REGEX MATCHALL "CRLF " crlf "${bytes}")
list(LENGTH crlf lines)
if(lines EQUAL 0)
  message(FATAL_ERROR "${first} has no CR LF line ends")
endif()
if(bytes MATCHES "(^| )0a ")
  message(FATAL_ERROR "${first} has a line that ends in LF alone")
endif()

roundtrip(${first} ${second})
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${first} ${second} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "reading ${first} back and writing it again gave a different ${second}")
endif()

if(XMLLINT)
  execute_process(COMMAND ${XMLLINT} --noout ${first} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "xmllint does not read ${first}:\n${err}")
  endif()
endif()
message(STATUS "${INPUT}: ${lines} lines, CR LF, read back unchanged")
