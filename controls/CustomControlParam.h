// Descriptor kind 18 for a "formcctrl" control: a value handed to its handler's attach.
#pragma once
#include "framework/ControlDescriptor.h"

class CustomControlParam : public ControlDescriptor {
public:
    static constexpr int Kind = 18;
    CustomControlParam(int id, void* param, int anchor) : ControlDescriptor(id, Kind, anchor), param(param) {}
    void* param;
};
