list(APPEND TEST_PROPERTIES RESOURCE_LOCK "line;display")
add_test(NAME bench.wine_choice
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_choice.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:${TEST_TARGET}> ${CMAKE_SIZEOF_VOID_P})
set_tests_properties(bench.wine_choice PROPERTIES FIXTURES_REQUIRED bench TIMEOUT 120)
