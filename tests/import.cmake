# The import side: symbol table, importer base, object factory.

# The symbol table, also through a C translation unit.
ostrel_add_test(test_symboltable test_symboltable.cpp symboltable_c.c)
target_compile_definitions(test_symboltable PRIVATE
  OSTREL_SYMBOLTABLE_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/symboltable")
set_target_properties(test_symboltable PROPERTIES
  C_STANDARD 99 C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
get_target_property(_ostrel_library_type ostrelbase TYPE)

# The state a fresh process finds: the same program, in a process of its own.
set_tests_properties(test_symboltable PROPERTIES
  ENVIRONMENT "GTEST_FILTER=-SymbolTableAtStart.*")
add_test(NAME test_symboltable_initial COMMAND test_symboltable --gtest_filter=SymbolTableAtStart.*)

ostrel_add_test(test_importer test_importer.cpp)
target_compile_definitions(test_importer PRIVATE OSTREL_IMPORTER_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/importer")

ostrel_add_test(test_factory factory_registrar.cpp test_factory.cpp)

# The factory once more over a static copy of the library. The registrations come first
# on the link line, so their static initializers run before the library's own.
if(_ostrel_library_type STREQUAL "SHARED_LIBRARY")
  file(GLOB _ostrel_library_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/ostrelbase/*.cpp)
  add_library(ostrelbase_static_copy STATIC EXCLUDE_FROM_ALL ${_ostrel_library_sources})
  target_compile_features(ostrelbase_static_copy PUBLIC cxx_std_17)
  target_compile_definitions(ostrelbase_static_copy PRIVATE OSTREL_BUILDING PUBLIC OSTREL_STATIC)
  target_include_directories(ostrelbase_static_copy PUBLIC ${PROJECT_SOURCE_DIR})

  add_executable(test_factory_static factory_registrar.cpp test_factory.cpp)
  target_link_libraries(test_factory_static PRIVATE ostrelbase_static_copy GTest::gtest_main)
  target_include_directories(test_factory_static PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME test_factory_static COMMAND test_factory_static)
endif()
