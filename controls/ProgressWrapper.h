// Wrapper of a progress bar ("msctls_progress32"): range and step from a ProgressRange, position
// set with setReal.
#pragma once
#include <memory>
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class ProgressWrapper : public ControlWrapper {
public:
    ProgressWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);

    void setReal(double value, int item) override;  // truncated towards zero

    static std::unique_ptr<ControlWrapper> create(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor* descriptor);
};
