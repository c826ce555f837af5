// Targets -2 and -3: the dialog window's own vertical and horizontal scroll bars.
#pragma once
#include <windows.h>
#include "framework/ValueTarget.h"

class DialogWindow;

class ScrollBarTarget : public ValueTarget {
public:
    // id -2 is the vertical bar (SB_VERT), -3 the horizontal one (SB_HORZ).
    ScrollBarTarget(int id, DialogWindow* owner);
    void setInt(int value, int item) override;  // SetScrollPos with redraw; item ignored
    int id() const { return id_; }
    int bar() const { return bar_; }

private:
    int id_;
    DialogWindow* owner_;
    int bar_;
};
