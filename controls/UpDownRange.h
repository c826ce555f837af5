// Descriptor kind 13 for up-down controls: the lower and upper positions.
#pragma once
#include "framework/ControlDescriptor.h"

class UpDownRange : public ControlDescriptor {
public:
    static constexpr int Kind = 13;

    UpDownRange(int id, int lower, int upper, int anchor)
        : ControlDescriptor(id, Kind, anchor), lower(lower), upper(upper)
    {
    }
    // Used for an up-down control without a descriptor: 0..100; made on first use.
    static const UpDownRange& defaults();

    int lower;
    int upper;
};
