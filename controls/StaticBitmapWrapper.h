// Bitmap static: a number shows the bitmap with that resource id; the wrapper owns what it shows.
#pragma once
#include "controls/OwnedImage.h"
#include "framework/ControlWrapper.h"

class StaticBitmapWrapper : public ControlWrapper {
public:
    StaticBitmapWrapper(DialogWindow* owner, HWND control, int id);
    ~StaticBitmapWrapper() override;

    // Shows bitmap (value & 0xFFFF) of the program's resources; one that does not load clears it.
    void setInt(int value, int item) override;

    HANDLE image() const { return image_.get(); }

private:
    OwnedImage image_;
};
