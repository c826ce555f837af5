#include "framework/WindowRegistry.h"

bool WindowRegistry::add(DialogWindow* window)
{
    if (!window || count_ >= Capacity || contains(window)) return false;
    windows_[count_++] = window;
    return true;
}

bool WindowRegistry::remove(DialogWindow* window)
{
    int i = indexOf(window);
    if (i < 0) return false;
    for (; i + 1 < count_; ++i) windows_[i] = windows_[i + 1];
    windows_[--count_] = nullptr;
    return true;
}

bool WindowRegistry::contains(const DialogWindow* window) const
{
    return indexOf(window) >= 0;
}

int WindowRegistry::indexOf(const DialogWindow* window) const
{
    for (int i = 0; i < count_; ++i) {
        if (windows_[i] == window) return i;
    }
    return -1;
}

DialogWindow* WindowRegistry::at(int index) const
{
    return index >= 0 && index < count_ ? windows_[index] : nullptr;
}
