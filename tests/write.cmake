# Writing documents in whole lines: the line writer, the written forms under a pending field
# width, and files that hold exactly what the same tree writes to a string stream.
ostrel_add_test(test_line_writer test_line_writer.cpp)
target_compile_definitions(test_line_writer PRIVATE OSTREL_LINEWRITER_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/linewriter")

if(TARGET ostrel_xkb)
  ostrel_add_test(test_xkb_write xkb/test_xkb_write.cpp)
  target_link_libraries(test_xkb_write PRIVATE ostrel_xkb)
  target_compile_definitions(test_xkb_write PRIVATE XKB_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/xkb")
endif()
