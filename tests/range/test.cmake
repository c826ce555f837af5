# The range tests open windows and move the focus: one test program on the display at a time.
list(APPEND TEST_PROPERTIES RESOURCE_LOCK "display")
