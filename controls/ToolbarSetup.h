// Descriptor kind 16 for toolbars: the image strip and the buttons.
#pragma once
#include "controls/ToolbarButton.h"
#include "framework/ControlDescriptor.h"

class ToolbarSetup : public ControlDescriptor {
public:
    static constexpr int Kind = 16;

    ToolbarSetup(int id, int bitmapId, int imageCount, const ToolbarButton* buttons, int anchor)
        : ControlDescriptor(id, Kind, anchor), bitmapId(bitmapId), imageCount(imageCount), buttons(buttons)
    {
    }

    int bitmapId;                  // bitmap strip resource; 0 or less: the standard large images
    int imageCount;                // images in the strip, side by side
    const ToolbarButton* buttons;  // ended by an entry of type 0
};
