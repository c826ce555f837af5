#include "controls/OwnedImage.h"
#include "framework/Application.h"

void OwnedImage::reset(int type, HANDLE handle)
{
    // Both go first: the old image is released even when the kind changes.
    icon_.reset();
    bitmap_.reset();
    if (!handle) return;
    if (type == IMAGE_ICON)
        icon_.reset(static_cast<HICON>(handle));
    else
        bitmap_.reset(static_cast<HGDIOBJ>(handle));
}

HANDLE OwnedImage::get() const
{
    if (icon_) return icon_.get();
    return bitmap_.get();
}

HANDLE OwnedImage::load(int type, int resourceId, UINT flags)
{
    if ((resourceId & 0xFFFF) == 0) return nullptr;
    return LoadImageA(Application::get().instance(), MAKEINTRESOURCEA(resourceId & 0xFFFF), type, 0, 0, flags);
}
