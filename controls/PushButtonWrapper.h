// Push button (and the other button types but group boxes): a click is a command; an icon or
// bitmap from the resources is shown, with a second one while disabled.
#pragma once
#include "controls/OwnedImage.h"
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class PushButtonWrapper : public ControlWrapper {
public:
    // BS_ICON buttons take icons, all others bitmaps; a ButtonImages descriptor (kind 6) names
    // the normal and the disabled image.
    PushButtonWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);
    ~PushButtonWrapper() override;

    // Icon button: shows the icon with resource id value & 0xFFFF (0: none). Bitmap button:
    // the value becomes the caption.
    void setInt(int value, int item) override;
    // Shows the disabled or the normal image, where there is one.
    void enable(bool on, int item) override;
    void onCommand(int code, int arg) override;  // BN_CLICKED: commandIssued(id)

    int imageType() const { return imageType_; }  // IMAGE_BITMAP (0) or IMAGE_ICON (1)
    HANDLE image() const { return image_.get(); }
    HANDLE disabledImage() const { return disabledImage_.get(); }

private:
    void show(HANDLE image);

    int imageType_;
    OwnedImage image_;          // shown while enabled
    OwnedImage disabledImage_;  // shown while disabled
};
