// The registry of open dialog windows: at most 50, in registration order, no gaps.
// Pure bookkeeping: it never touches the windows it holds.
#pragma once

class DialogWindow;

class WindowRegistry {
public:
    static constexpr int Capacity = 50;

    // No effect when full or already registered; true when added.
    bool add(DialogWindow* window);
    // Removes it and moves the later entries down; false when it was not registered.
    bool remove(DialogWindow* window);
    bool contains(const DialogWindow* window) const;
    int indexOf(const DialogWindow* window) const;  // -1 when absent
    int count() const { return count_; }
    DialogWindow* at(int index) const;              // null outside 0..count-1

private:
    DialogWindow* windows_[Capacity] = {};
    int count_ = 0;
};
