// Wrapper of a grey-frame static (static type 8): with a FramePage descriptor a child dialog is
// laid exactly over the frame. The page is not kept and not offered to lookup.
#pragma once
#include <memory>
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class FramePageWrapper : public ControlWrapper {
public:
    FramePageWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);

    // Accepts statics of type SS_GRAYFRAME only.
    static std::unique_ptr<ControlWrapper> create(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor* descriptor);
};
