// The listing that has no names: what a listing returns when it cannot start.
#pragma once
#include "settings/NameList.h"

class EmptyNameList : public NameList {
public:
    int32_t Count() const override;
    const char* Item(int32_t index) const override;
};
