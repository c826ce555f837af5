# The settings file read by an independent compound-file reader, Debian's python3-olefile
# (the system's python3, which has the package; a python3 earlier on PATH may not).
if(EXISTS /usr/bin/python3)
  set(TAV_OLEFILE_PYTHON /usr/bin/python3)
else()
  set(TAV_OLEFILE_PYTHON python3)
endif()
add_test(NAME settings.olefile_check
         COMMAND ${TAV_OLEFILE_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/olefile_check.py ${CMAKE_BINARY_DIR}
                 $<TARGET_FILE:${TEST_TARGET}>)
set_tests_properties(settings.olefile_check PROPERTIES FIXTURES_REQUIRED bench TIMEOUT 120)
