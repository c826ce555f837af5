// Descriptor kind 14 for a grey-frame static: the dialog resource of the page laid over it.
#pragma once
#include "framework/ControlDescriptor.h"

class FramePage : public ControlDescriptor {
public:
    static constexpr int Kind = 14;

    FramePage(int id, int pageId, int anchor) : ControlDescriptor(id, Kind, anchor), pageId(pageId) {}

    int pageId;
};
