// Descriptor kind 8: columns and image lists of a list view.
#pragma once
#include "framework/ControlDescriptor.h"

class ListViewSetup : public ControlDescriptor {
public:
    static constexpr int Kind = 8;
    // captions: tab-separated column captions; iconSize <= 0 means the system icon width;
    // the id lists are zero-terminated icon resource ids; null iconIds means no image lists.
    ListViewSetup(int id, const char* captions, int iconSize, const int* iconIds, const int* overlayIds,
                  const int* stateIds, int anchor)
        : ControlDescriptor(id, Kind, anchor),
          captions(captions),
          iconSize(iconSize),
          iconIds(iconIds),
          overlayIds(overlayIds),
          stateIds(stateIds)
    {
    }
    const char* captions;
    int iconSize;
    const int* iconIds;
    const int* overlayIds;
    const int* stateIds;
};
