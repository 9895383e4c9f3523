# GoogleTest for a cross build: there is none for the target to find, so it is built
# here from Debian's sources, static, and used like the one find_package(GTest) gives.
set(OSTREL_GTEST_SOURCE_DIR /usr/src/googletest/googletest CACHE PATH
  "GoogleTest sources, built for the target in cross builds")
if(NOT EXISTS ${OSTREL_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${OSTREL_GTEST_SOURCE_DIR} (Debian package googletest)")
endif()
set(BUILD_SHARED_LIBS OFF)
add_subdirectory(${OSTREL_GTEST_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
unset(BUILD_SHARED_LIBS)
# Its warnings are not the project's.
set_property(TARGET gtest gtest_main APPEND PROPERTY COMPILE_OPTIONS -w)
# Consumers see its headers as system headers, as with an installed GoogleTest.
foreach(t gtest gtest_main)
  get_target_property(dirs ${t} INTERFACE_INCLUDE_DIRECTORIES)
  set_property(TARGET ${t} APPEND PROPERTY INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${dirs})
endforeach()
