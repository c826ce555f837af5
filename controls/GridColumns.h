// Descriptor kind 3: turns a group box into a scrolling grid with these column captions.
#pragma once
#include "framework/ControlDescriptor.h"

class GridColumns : public ControlDescriptor {
public:
    static constexpr int Kind = 3;
    // captions: column captions separated by tabs.
    GridColumns(int id, const char* captions, int anchor)
        : ControlDescriptor(id, Kind, anchor), captions(captions)
    {
    }
    const char* captions;
};
