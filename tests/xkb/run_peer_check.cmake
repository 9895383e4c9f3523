# One round trip checked by libxml2: ROUNDTRIP imports INPUT and writes OUTPUT, xmllint
# validates OUTPUT against DTD, and xml_tree_equal compares both trees (DTD defaults applied;
# TREE_OPTIONS, when set, adds its options).
foreach(var ROUNDTRIP XMLLINT TREE_EQUAL DTD INPUT OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_peer_check: ${var} is not set")
  endif()
endforeach()

file(REMOVE ${OUTPUT})
execute_process(COMMAND ${ROUNDTRIP} ${INPUT} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the binding could not round-trip ${INPUT}")
endif()
execute_process(COMMAND ${XMLLINT} --noout --nonet --dtdvalid ${DTD} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "xmllint: ${OUTPUT} is not valid against ${DTD}")
endif()
execute_process(COMMAND ${TREE_EQUAL} --dtd ${DTD} ${TREE_OPTIONS} ${INPUT} ${OUTPUT}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "xml_tree_equal: the tree written differs from ${INPUT}")
endif()
