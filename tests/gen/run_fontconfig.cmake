# The fontconfig binding end to end: every configuration file valid against DTD is
# imported and written back by ROUNDTRIP, the output checked by xmllint and xml_tree_equal
# (numbers compared as values: the binding keeps 1.0 as the number 1), and TYPED confirms
# that int, double and bool arrive typed.
foreach(var ROUNDTRIP TYPED XMLLINT TREE_EQUAL DTD WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_fontconfig: ${var} is not set")
  endif()
endforeach()
file(GLOB files /etc/fonts/*.conf /etc/fonts/conf.d/*.conf /usr/share/fontconfig/conf.avail/*.conf)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(valid)
foreach(file ${files})
  execute_process(COMMAND ${XMLLINT} --noout --nonet --dtdvalid ${DTD} ${file}
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status EQUAL 0)
    list(APPEND valid ${file})
  endif()
endforeach()
list(LENGTH valid count)
if(count EQUAL 0)
  message(FATAL_ERROR "no fontconfig file on this system is valid against ${DTD}")
endif()
foreach(file ${valid})
  get_filename_component(name ${file} NAME)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROUNDTRIP=${ROUNDTRIP} -DXMLLINT=${XMLLINT}
      -DTREE_EQUAL=${TREE_EQUAL} -DTREE_OPTIONS=--numbers -DDTD=${DTD} -DINPUT=${file}
      -DOUTPUT=${WORK_DIR}/${name} -P ${CMAKE_CURRENT_LIST_DIR}/../xkb/run_peer_check.cmake
    RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the round trip of ${file} failed")
  endif()
endforeach()
execute_process(COMMAND ${TYPED} ${valid} RESULT_VARIABLE status OUTPUT_VARIABLE counts)
if(NOT status EQUAL 0 OR NOT counts MATCHES "int [1-9][0-9]* double [1-9][0-9]* bool [1-9]")
  message(FATAL_ERROR "the typed values did not arrive: ${counts}")
endif()
message(STATUS "${count} fontconfig files round-tripped; ${counts}")
