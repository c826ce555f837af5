# The resource tests create windows on the bench display; the version check needs version.dll and
# the build's generated version header.
list(APPEND TEST_PROPERTIES RESOURCE_LOCK "display")
target_link_libraries(${TEST_TARGET} PRIVATE version)
target_include_directories(${TEST_TARGET} PRIVATE ${TAV_GENERATED_DIR})
