# The dialogs take the display and the focus, the port tests the pty lines; the longest test
# opens a dozen dialogs. Discovery splits a "line;display" value into two arguments, so the two
# locks are set on the discovered tests after discovery.
set(_linedlg_props ${CMAKE_CURRENT_BINARY_DIR}/${TEST_TARGET}_props.cmake)
file(WRITE ${_linedlg_props}
     "if(DEFINED ${TEST_TARGET}_TESTS)\n"
     "  set_tests_properties(\${${TEST_TARGET}_TESTS} PROPERTIES RESOURCE_LOCK \"line;display\" TIMEOUT 240)\n"
     "endif()\n")
cmake_language(DEFER CALL set_property DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_linedlg_props})
# Stand-in help engines beside the test program: fakehelp has the entry point at ordinal 14,
# noentry lacks it.
foreach(engine fakehelp noentry)
  add_library(linedlg_${engine} SHARED ${CMAKE_CURRENT_LIST_DIR}/engine/FakeEngine.c
              ${CMAKE_CURRENT_LIST_DIR}/engine/${engine}.def)
  set_target_properties(linedlg_${engine} PROPERTIES OUTPUT_NAME ${engine} PREFIX "")
  target_link_options(linedlg_${engine} PRIVATE -Wl,--enable-stdcall-fixup)
  add_dependencies(${TEST_TARGET} linedlg_${engine})
endforeach()
