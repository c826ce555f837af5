// Check box: a number checks or unchecks it silently; a click reports the new state.
#pragma once
#include "framework/ControlWrapper.h"

class CheckBoxWrapper : public ControlWrapper {
public:
    CheckBoxWrapper(DialogWindow* owner, HWND control, int id);

    void setInt(int value, int item) override;  // non-zero checks, zero unchecks
    // BN_CLICKED reports selectionChanged(id, -1, state) with the state read back (0, 1 or 2).
    void onCommand(int code, int arg) override;
};
