# Test bench: GoogleTest built for the target, one test program per folder under tests/,
# every test run under Wine with the bench fixture (prefix, Wine server, Xvfb, pty lines).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main)
  target_compile_options(${t} PRIVATE -w)
endforeach()
include(GoogleTest)

add_test(NAME bench.start COMMAND ${TAV_BENCH_DIR}/start.sh ${CMAKE_BINARY_DIR})
set_tests_properties(bench.start PROPERTIES FIXTURES_SETUP bench TIMEOUT 180)
add_test(NAME bench.stop COMMAND ${TAV_BENCH_DIR}/stop.sh ${CMAKE_BINARY_DIR})
set_tests_properties(bench.stop PROPERTIES FIXTURES_CLEANUP bench TIMEOUT 60)

# Helpers shared by all test programs.
file(GLOB TAV_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(tavtestsupport STATIC ${TAV_TEST_SUPPORT} ${CMAKE_SOURCE_DIR}/tests/support/Bench.h)
target_include_directories(tavtestsupport PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tavtestsupport PUBLIC gtest ${TAV_SYSTEM_LIBS})

# TAV_TEST_ONLY may name the test folders to build (default: all).
set(TAV_TEST_ONLY "" CACHE STRING "Test folders to build; empty for all")
# tests/NAME/*.cpp (and *.rc) become test_NAME.exe; tests/NAME/test.cmake may add properties
# (TEST_TARGET names the program, TEST_PROPERTIES the list of properties of its tests).
file(GLOB TAV_TEST_DIRS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/*)
foreach(dir ${TAV_TEST_DIRS})
  get_filename_component(name ${dir} NAME)
  if(NOT IS_DIRECTORY ${dir} OR name STREQUAL "support")
    continue()
  endif()
  if(TAV_TEST_ONLY AND NOT name IN_LIST TAV_TEST_ONLY)
    continue()
  endif()
  file(GLOB test_sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.rc)
  if(NOT test_sources)
    # A folder of scripts only: its test.cmake adds its tests itself (TEST_TARGET is not set).
    if(EXISTS ${dir}/test.cmake)
      unset(TEST_TARGET)
      include(${dir}/test.cmake)
    endif()
    continue()
  endif()
  set(TEST_TARGET test_${name})
  add_executable(${TEST_TARGET} ${test_sources} ${TAV_RESOURCES})
  target_link_libraries(${TEST_TARGET} PRIVATE tavcore tavtestsupport)
  if(NOT EXISTS ${dir}/main.cpp)
    target_link_libraries(${TEST_TARGET} PRIVATE gtest_main)
  endif()
  add_dependencies(${TEST_TARGET} ptyshim)
  # A test program that crashes fails even where Wine ends it with exit code 0.
  set_target_properties(${TEST_TARGET} PROPERTIES
    CROSSCOMPILING_EMULATOR "${TAV_BENCH_DIR}/gtest-run.sh;${CMAKE_BINARY_DIR}")
  set(TEST_PROPERTIES TIMEOUT 120)
  set(TEST_DISCOVER ON)
  if(EXISTS ${dir}/test.cmake)
    include(${dir}/test.cmake)
  endif()
  # Discovery splits list values, so resource locks are taken out and set after discovery.
  set(props)
  set(locks)
  set(in_lock OFF)
  foreach(p IN LISTS TEST_PROPERTIES)
    if(p STREQUAL "RESOURCE_LOCK")
      set(in_lock ON)
    elseif(in_lock AND p MATCHES "^(line|display)$")
      list(APPEND locks ${p})
    else()
      set(in_lock OFF)
      list(APPEND props ${p})
    endif()
  endforeach()
  if(TEST_DISCOVER)
    # Listed when the tests run, not at build time: a build never starts a Windows program.
    gtest_discover_tests(${TEST_TARGET}
      TEST_PREFIX "${name}."
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES FIXTURES_REQUIRED bench ${props})
    if(locks)
      list(REMOVE_DUPLICATES locks)
      set(lock_file ${CMAKE_BINARY_DIR}/${TEST_TARGET}_locks.cmake)
      file(WRITE ${lock_file}
        "if(DEFINED ${TEST_TARGET}_TESTS)\n"
        "  set_tests_properties(\${${TEST_TARGET}_TESTS} PROPERTIES RESOURCE_LOCK \"${locks}\")\n"
        "endif()\n")
      set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${lock_file})
    endif()
  endif()
endforeach()
