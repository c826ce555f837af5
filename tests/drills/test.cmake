# Fault drills: the built Tavrenix.exe on the bench line, worked from python3 through tavdrive.
# Hard pass criteria that do not depend on speed; TAV_DRILL_LONG=1 at ctest time runs the long
# forms (a thousand Comm switches, an hour of soak). The soak runs on 32-bit builds only, unless
# TAV_DRILL_SOAK_ALL is on, to keep the whole suite's time for both architectures in bounds; on a
# machine that runs no 32-bit code the 64-bit build runs it instead.
if(NOT TARGET Tavrenix OR NOT TARGET tavdrive)
  return()
endif()
if(EXISTS /usr/bin/python3)
  set(TAV_DRILL_PYTHON /usr/bin/python3)
else()
  set(TAV_DRILL_PYTHON python3)
endif()
add_custom_target(drill_programs ALL)
add_dependencies(drill_programs Tavrenix tavdrive ptyshim)

option(TAV_DRILL_SOAK_ALL "Run the soak drill on 64-bit builds too" OFF)
set(TAV_DRILL_DIR ${CMAKE_CURRENT_LIST_DIR})
# name, timeout (s) of the short form, script and its arguments
set(drills
  "device_lost.idle|90|device_lost.py|idle"
  "device_lost.midchunk|90|device_lost.py|midchunk"
  "comm_toggle|240|comm_toggle.py"
  "log_faults.full|90|log_faults.py|full"
  "log_faults.readonly|90|log_faults.py|readonly"
  "log_faults.deleted|90|log_faults.py|deleted"
  "settings_faults.full|90|settings_faults.py|full"
  "settings_faults.readonly|90|settings_faults.py|readonly")
if(CMAKE_SIZEOF_VOID_P EQUAL 4 OR TAV_DRILL_SOAK_ALL OR NOT TAV_HOST_RUNS_32BIT)
  list(APPEND drills "soak|240|soak.py")
endif()
# The damaged files come from the settings tests' generator (tests/settings, built when listed).
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/settings/main.cpp AND (NOT TAV_TEST_ONLY OR "settings" IN_LIST TAV_TEST_ONLY))
  list(APPEND drills "damaged_settings|240|damaged_settings.py|$<TARGET_FILE:test_settings>")
  add_dependencies(drill_programs test_settings)
endif()
foreach(d IN LISTS drills)
  string(REPLACE "|" ";" fields "${d}")
  list(POP_FRONT fields name timeout script)
  if(DEFINED ENV{TAV_DRILL_LONG} AND NOT "$ENV{TAV_DRILL_LONG}" STREQUAL "" AND NOT "$ENV{TAV_DRILL_LONG}" STREQUAL "0")
    set(timeout 4500)
  endif()
  add_test(NAME drills.${name}
           COMMAND ${TAV_DRILL_PYTHON} ${TAV_DRILL_DIR}/${script} ${CMAKE_BINARY_DIR} ${fields})
  set_tests_properties(drills.${name} PROPERTIES FIXTURES_REQUIRED bench RESOURCE_LOCK "line;display"
                       TIMEOUT ${timeout} SKIP_RETURN_CODE 77)
endforeach()
