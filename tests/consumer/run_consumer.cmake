# Installs the built library into a scratch prefix and builds a consumer against it,
# through find_package (MODE=cmake) or through pkg-config (MODE=pkgconfig).
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${OSTREL_BUILD_DIR} --prefix ${prefix})
foreach(required include/ostrelbase/ostrel.h include/ostrelbase/ostrelexcept.h
                 include/ostrelxml/xmlscanner.h include/ostrelxml/dtd.h
                 lib/cmake/Ostrel/OstrelConfig.cmake lib/cmake/Ostrel/OstrelGenerate.cmake
                 lib/pkgconfig/ostrelbase.pc lib/pkgconfig/ostrelxml.pc bin/ostrel-gen)
  if(NOT EXISTS ${prefix}/${required})
    message(FATAL_ERROR "not installed: ${required}")
  endif()
endforeach()

# The consumer's document and the events it read back from it.
function(check_consumer program)
  execute_process(COMMAND ${program} ${WORK_DIR}/out.xml OUTPUT_VARIABLE events RESULT_VARIABLE rc)
  file(READ ${WORK_DIR}/out.xml written)
  set(expected "<?xml version='1.0'?>\n<!-- created with Ostrel version 1.2 -->\n<title>Tom &amp; Jerry</title>\n")
  if(NOT rc EQUAL 0 OR NOT written STREQUAL expected OR NOT events STREQUAL "title|Tom & Jerry|title|")
    message(FATAL_ERROR "the consumer wrote:\n${written}and read back: ${events}")
  endif()
endfunction()

set(ENV{LD_LIBRARY_PATH} ${prefix}/lib)
if(MODE STREQUAL "cmake")
  run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
      -DCMAKE_PREFIX_PATH=${prefix})
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
  check_consumer(${WORK_DIR}/build/consumer)
  run(${WORK_DIR}/build/note_consumer ${WORK_DIR}/note.xml)
else()
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  execute_process(COMMAND pkg-config --cflags --libs ostrelxml
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config does not know ostrelxml")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run(c++ -std=c++17 ${CONSUMER_SOURCE_DIR}/main.cpp ${flags} -o ${WORK_DIR}/consumer)
  check_consumer(${WORK_DIR}/consumer)
endif()
