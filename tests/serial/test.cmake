# Live pty lines; TAV_LINE_ERRORS names the flag file that makes the bench shim report framing errors.
list(APPEND TEST_PROPERTIES RESOURCE_LOCK "line" ENVIRONMENT "TAV_LINE_ERRORS=${CMAKE_BINARY_DIR}/bench/line-errors.flag")
