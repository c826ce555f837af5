# End to end: the built Tavrenix.exe on the bench display and line, driven by this test program,
# which reads menu states through the menu probe DLL hooked into the program.
list(APPEND TEST_PROPERTIES RESOURCE_LOCK "line;display")
# The program inherits it: while the flag file exists the bench shim reports framing errors.
list(APPEND TEST_PROPERTIES ENVIRONMENT "TAV_LINE_ERRORS=${CMAKE_BINARY_DIR}/bench/line-errors.flag")
if(TARGET Tavrenix)
  add_dependencies(${TEST_TARGET} Tavrenix tavmenuprobe)
  target_include_directories(${TEST_TARGET} PRIVATE ${CMAKE_SOURCE_DIR}/tools/menuprobe)
  target_compile_definitions(${TEST_TARGET} PRIVATE TAV_PROGRAM_UNIX_PATH="$<TARGET_FILE:Tavrenix>"
                             TAV_MENU_PROBE_UNIX_PATH="$<TARGET_FILE:tavmenuprobe>")
endif()
