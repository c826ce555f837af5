// Descriptor kind 2, for a dialog resource id: its big and small window icons (ids > 0 used).
#pragma once
#include "framework/ControlDescriptor.h"

class WindowIcons : public ControlDescriptor {
public:
    static constexpr int Kind = 2;
    WindowIcons(int id, int bigIconId, int smallIconId, int anchor)
        : ControlDescriptor(id, Kind, anchor), bigIconId(bigIconId), smallIconId(smallIconId)
    {
    }
    int bigIconId;
    int smallIconId;
};
