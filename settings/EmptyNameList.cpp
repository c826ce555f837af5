#include "settings/EmptyNameList.h"

int32_t EmptyNameList::Count() const
{
    return 0;
}

const char* EmptyNameList::Item(int32_t) const
{
    return nullptr;
}
