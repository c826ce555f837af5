// Descriptor kind 15 for tab controls: tab captions separated by tabs, and the zero-terminated
// list of the pages' dialog resource ids.
#pragma once
#include "framework/ControlDescriptor.h"

class TabPages : public ControlDescriptor {
public:
    static constexpr int Kind = 15;

    TabPages(int id, const char* captions, const int* pageIds, int anchor)
        : ControlDescriptor(id, Kind, anchor), captions(captions), pageIds(pageIds)
    {
    }

    const char* captions;
    const int* pageIds;  // ended by 0; null means no pages
};
