list(APPEND TEST_PROPERTIES RESOURCE_LOCK "line;display")
add_test(NAME bench.wine_choice
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_choice.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:${TEST_TARGET}> ${CMAKE_SIZEOF_VOID_P})
set_tests_properties(bench.wine_choice PROPERTIES FIXTURES_REQUIRED bench TIMEOUT 120)
add_test(NAME bench.crash_fails
         COMMAND sh -c "! \"$0\" \"$1\" \"$2\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_Crash.*"
                 ${TAV_BENCH_DIR}/gtest-run.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:${TEST_TARGET}>)
set_tests_properties(bench.crash_fails PROPERTIES FIXTURES_REQUIRED bench TIMEOUT 120)
