// Descriptor kind 7 for radio buttons: the id range of the button's group.
#pragma once
#include "framework/ControlDescriptor.h"

class RadioGroup : public ControlDescriptor {
public:
    static constexpr int Kind = 7;
    RadioGroup(int id, int firstId, int lastId, int anchor)
        : ControlDescriptor(id, Kind, anchor), firstId(firstId), lastId(lastId)
    {
    }
    int firstId;
    int lastId;
};
