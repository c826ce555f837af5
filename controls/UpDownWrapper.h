// Wrapper of an up-down control ("msctls_updown32"): range from an UpDownRange, position set
// with setReal, reports the position when a click ends on it (SB_THUMBPOSITION).
#pragma once
#include <memory>
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class UpDownWrapper : public ControlWrapper {
public:
    UpDownWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);

    void setReal(double value, int item) override;
    // SB_THUMBPOSITION reports the position; a range beyond 16 bits reads it from the control.
    void onCommand(int request, int position) override;

    static std::unique_ptr<ControlWrapper> create(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor* descriptor);
};
