// Radio button: checking it by number clears the other buttons of its id range; a click
// reports like a check box.
#pragma once
#include "controls/CheckBoxWrapper.h"

class ControlDescriptor;

class RadioButtonWrapper : public CheckBoxWrapper {
public:
    // A RadioGroup descriptor (kind 7) gives the group's id range; without one the group is
    // the button alone.
    RadioButtonWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);

    // 0 clears this button only; any other value checks it and clears the rest of the group.
    void setInt(int value, int item) override;

    int firstId() const { return firstId_; }
    int lastId() const { return lastId_; }

private:
    int firstId_;
    int lastId_;
};
