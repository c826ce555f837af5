// Brings the pane's edit control up to the pane text by cutting its head and appending the new
// tail: under Wine the control lays out only the lines that changed, where setting the whole
// 4 KB text lays out all of them (milliseconds per update).
#pragma once
#include <windows.h>

class CapturePane;

class PaneControl {
public:
    // Updates edit, which shows the pane text as it was at the pane's MarkShown, and scrolls to
    // the last line. False (nothing or only some done) when the text must be set whole: the pane was
    // rebuilt, the control holds other text (typed into), or its text does not come out right.
    static bool Update(HWND edit, const CapturePane& pane);
};
