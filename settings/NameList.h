// A listing of element names: a count and the names by index.
#pragma once
#include <cstdint>

class NameList {
public:
    virtual ~NameList() = default;
    virtual int32_t Count() const = 0;
    // The name at index; null below 0 and from Count on.
    virtual const char* Item(int32_t index) const = 0;
};
