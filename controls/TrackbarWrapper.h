// Wrapper of a trackbar ("msctls_trackbar32"): range from a TrackbarSetup, position by number,
// position reports as NumberValue.
#pragma once
#include <memory>
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class TrackbarWrapper : public ControlWrapper {
public:
    TrackbarWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);

    void setInt(int value, int item) override;     // TBM_SETPOS
    void setReal(double value, int item) override;  // truncated towards zero
    // (scroll request, position) from WM_HSCROLL / WM_VSCROLL.
    void onCommand(int request, int position) override;

    bool reportsWhileDragging() const { return reportWhileDragging_ != 0; }

    static std::unique_ptr<ControlWrapper> create(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor* descriptor);

private:
    // The thumb position of a request: the message's own, or the control's when the range does
    // not fit the message's signed 16 bits.
    int thumbPosition(int position);
    void report(int position);

    int reportWhileDragging_ = 0;
};
