# The dialogs take the display and the focus; the port tests use the pty lines.
list(APPEND TEST_PROPERTIES RESOURCE_LOCK "line;display")
# Stand-in help engines beside the test program: fakehelp has the entry point at ordinal 14,
# noentry lacks it.
foreach(engine fakehelp noentry)
  add_library(linedlg_${engine} SHARED ${CMAKE_CURRENT_LIST_DIR}/engine/FakeEngine.c
              ${CMAKE_CURRENT_LIST_DIR}/engine/${engine}.def)
  set_target_properties(linedlg_${engine} PROPERTIES OUTPUT_NAME ${engine} PREFIX "")
  target_link_options(linedlg_${engine} PRIVATE -Wl,--enable-stdcall-fixup)
  add_dependencies(${TEST_TARGET} linedlg_${engine})
endforeach()
