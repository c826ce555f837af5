// Descriptor kind 1: anchor flags only.
#pragma once
#include "framework/ControlDescriptor.h"

class ControlAnchor : public ControlDescriptor {
public:
    static constexpr int Kind = 1;
    ControlAnchor(int id, int anchor) : ControlDescriptor(id, Kind, anchor) {}
};
