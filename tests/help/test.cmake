# The resource tests create windows on the bench display; the version check needs version.dll.
list(APPEND TEST_PROPERTIES RESOURCE_LOCK "display")
target_link_libraries(${TEST_TARGET} PRIVATE version)
