// Descriptor kind 9: the icons of a tree view (zero-terminated resource ids).
#pragma once
#include "framework/ControlDescriptor.h"

class TreeIcons : public ControlDescriptor {
public:
    static constexpr int Kind = 9;
    TreeIcons(int id, const int* iconIds, int anchor) : ControlDescriptor(id, Kind, anchor), iconIds(iconIds) {}
    const int* iconIds;
};
