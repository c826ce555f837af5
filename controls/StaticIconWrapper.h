// Icon static: a number shows the icon with that resource id; the wrapper owns what it shows.
#pragma once
#include "controls/OwnedImage.h"
#include "framework/ControlWrapper.h"

class StaticIconWrapper : public ControlWrapper {
public:
    StaticIconWrapper(DialogWindow* owner, HWND control, int id);
    ~StaticIconWrapper() override;

    // Shows icon (value & 0xFFFF) of the program's resources; one that does not load clears it.
    void setInt(int value, int item) override;

    HANDLE image() const { return image_.get(); }

private:
    OwnedImage image_;
};
