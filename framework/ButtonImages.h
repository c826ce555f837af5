// Descriptor kind 6 for push buttons: the image shown while enabled and while disabled (0 = none).
#pragma once
#include "framework/ControlDescriptor.h"

class ButtonImages : public ControlDescriptor {
public:
    static constexpr int Kind = 6;
    ButtonImages(int id, int imageId, int disabledImageId, int anchor)
        : ControlDescriptor(id, Kind, anchor), imageId(imageId), disabledImageId(disabledImageId)
    {
    }
    int imageId;
    int disabledImageId;
};
