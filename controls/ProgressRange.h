// Descriptor kind 12 for progress bars: range and step.
#pragma once
#include "framework/ControlDescriptor.h"

class ProgressRange : public ControlDescriptor {
public:
    static constexpr int Kind = 12;

    ProgressRange(int id, int rangeMin, int rangeMax, int step, int anchor)
        : ControlDescriptor(id, Kind, anchor), rangeMin(rangeMin), rangeMax(rangeMax), step(step)
    {
    }
    // Used for a progress bar without a descriptor: 0..100, step 10; made on first use.
    static const ProgressRange& defaults();

    int rangeMin;
    int rangeMax;
    int step;
};
