#include "framework/ControlDescriptor.h"

bool ControlDescriptor::hasId(int id) const { return id == id_; }
bool ControlDescriptor::isKind(int kind) const { return kind == kind_; }
int ControlDescriptor::anchor() const { return anchor_; }

const ControlDescriptor* ControlDescriptor::find(const ControlDescriptor* const* list, int id)
{
    if (!list) return nullptr;
    for (; *list; ++list) {
        if ((*list)->hasId(id)) return *list;
    }
    return nullptr;
}

const ControlDescriptor* const* ControlDescriptor::emptyList()
{
    static const ControlDescriptor* const empty[] = {nullptr};
    return empty;
}
