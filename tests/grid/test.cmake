# The grid, list view and tree view tests open windows and move the focus: one program on the display at a time.
list(APPEND TEST_PROPERTIES RESOURCE_LOCK "display")
