// A listing that holds its names in one buffer, back to back, each terminated.
#pragma once
#include <cstddef>
#include <vector>
#include "settings/NameList.h"

class FullNameList : public NameList {
public:
    // Room for up to capacity names with textBytes bytes of names and terminators in all.
    FullNameList(int32_t capacity, std::size_t textBytes);

    // Appends one name; false (nothing added) when the room reserved is used up.
    bool Add(const char* name, std::size_t length);

    int32_t Count() const override;
    const char* Item(int32_t index) const override;

private:
    std::vector<char> text_;
    std::size_t used_ = 0;
    std::vector<const char*> items_;  // Count() + 1 entries, the last null
    int32_t capacity_;
};
