# The simple values: read from the cases in data/values and written, what all of them share,
# and each kind's own operations.
ostrel_add_test(test_values test_values.cpp)
target_compile_definitions(test_values PRIVATE OSTREL_VALUE_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/values")
ostrel_add_test(test_value_operations test_value_operations.cpp)
