// Descriptor kind 5 for edit controls: flags bit 0 = commit on every change.
#pragma once
#include "framework/ControlDescriptor.h"

class EditOptions : public ControlDescriptor {
public:
    static constexpr int Kind = 5;
    static constexpr int CommitOnChange = 1;
    EditOptions(int id, int flags, int anchor) : ControlDescriptor(id, Kind, anchor), flags(flags) {}
    int flags;
};
