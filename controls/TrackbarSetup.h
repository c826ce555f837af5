// Descriptor kind 17 for trackbars: report flags, range and tick step.
#pragma once
#include "framework/ControlDescriptor.h"

class TrackbarSetup : public ControlDescriptor {
public:
    static constexpr int Kind = 17;
    static constexpr int ReportWhileDragging = 1;  // flags bit 0

    TrackbarSetup(int id, int flags, int rangeMin, int rangeMax, int tickStep, int anchor)
        : ControlDescriptor(id, Kind, anchor), flags(flags), rangeMin(rangeMin), rangeMax(rangeMax), tickStep(tickStep)
    {
    }
    // Used for a trackbar without a descriptor: 0, 0..100, step 10; made on first use.
    static const TrackbarSetup& defaults();

    int flags;
    int rangeMin;
    int rangeMax;
    int tickStep;
};
