// An icon or bitmap loaded for one control, released the way its kind needs.
#pragma once
#include <windows.h>
#include "framework/UniqueHandle.h"

class OwnedImage {
public:
    OwnedImage() = default;
    OwnedImage(const OwnedImage&) = delete;
    OwnedImage& operator=(const OwnedImage&) = delete;

    // Takes over handle of IMAGE_ICON or IMAGE_BITMAP (null allowed); the previous image is released.
    void reset(int type, HANDLE handle);
    void reset() { reset(IMAGE_BITMAP, nullptr); }
    HANDLE get() const;
    explicit operator bool() const { return get() != nullptr; }

    // Loads a resource of the program as LoadImageA does; null when it does not load.
    static HANDLE load(int type, int resourceId, UINT flags);

private:
    UniqueIcon icon_;
    UniqueGdiObject bitmap_;
};
