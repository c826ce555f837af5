# The control tests open windows, move the focus and the mouse: one program on the display at a time.
list(APPEND TEST_PROPERTIES RESOURCE_LOCK "display")
