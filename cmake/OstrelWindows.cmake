# Windows layout: programs and DLLs side by side in bin/, as they are shipped, so that
# every program finds ostrelbase.dll next to itself.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

if(MINGW)
  # The DLL and its programs share one C++ runtime: strings, streams and exceptions
  # cross the DLL boundary. Its DLLs go beside the programs and into the install.
  set(OSTREL_MINGW_RUNTIME "")
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      message(FATAL_ERROR "MinGW runtime ${dll} not found by ${CMAKE_CXX_COMPILER}")
    endif()
    file(COPY ${path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    list(APPEND OSTREL_MINGW_RUNTIME ${path})
  endforeach()
  install(FILES ${OSTREL_MINGW_RUNTIME} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
