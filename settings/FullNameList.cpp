#include "settings/FullNameList.h"
#include <cstring>

FullNameList::FullNameList(int32_t capacity, std::size_t textBytes)
    : text_(textBytes), items_(1, nullptr), capacity_(capacity < 0 ? 0 : capacity)
{
    items_.reserve(static_cast<std::size_t>(capacity_) + 1);
}

bool FullNameList::Add(const char* name, std::size_t length)
{
    if (Count() >= capacity_ || length + 1 > text_.size() - used_) return false;
    char* slot = text_.data() + used_;
    std::memcpy(slot, name, length);
    slot[length] = '\0';
    used_ += length + 1;
    items_.back() = slot;
    items_.push_back(nullptr);
    return true;
}

int32_t FullNameList::Count() const
{
    return static_cast<int32_t>(items_.size()) - 1;
}

const char* FullNameList::Item(int32_t index) const
{
    if (index < 0 || index > Count()) return nullptr;
    return items_[static_cast<std::size_t>(index)];
}
