# The simple values beyond text: token lists, truth value, integers, floating values.
ostrel_add_test(test_boolean test_boolean.cpp)
ostrel_add_test(test_integers test_integers.cpp)
ostrel_add_test(test_floats test_floats.cpp)
ostrel_add_test(test_token_lists test_token_lists.cpp)
ostrel_add_test(test_simple_values test_simple_values.cpp support/failing_alloc.cpp)
ostrel_add_test(test_value_documents test_value_documents.cpp)
