// Owner of an image list (ImageList_Destroy), in the manner of UniqueHandle.h.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "framework/UniqueHandle.h"

struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type empty() { return nullptr; }
    static void close(Type h) { ImageList_Destroy(h); }
};
using UniqueImageList = UniqueAny<ImageListTraits>;
