// Descriptor kinds 10 (combo box) and 11 (list box): a null-terminated array of entry texts.
#pragma once
#include "framework/ControlDescriptor.h"

class ListItems : public ControlDescriptor {
public:
    static constexpr int ComboKind = 10;
    static constexpr int ListBoxKind = 11;
    // Kind 10, the combo boxes' list.
    ListItems(int id, const char* const* items, int anchor)
        : ControlDescriptor(id, ComboKind, anchor), items(items)
    {
    }
    // An explicit kind (ComboKind or ListBoxKind).
    ListItems(int kind, int id, const char* const* items, int anchor)
        : ControlDescriptor(id, kind, anchor), items(items)
    {
    }
    const char* const* items;
};
