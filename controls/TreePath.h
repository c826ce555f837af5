// The address of a tree item: its position among its siblings at each level from the top.
#pragma once
#include <initializer_list>

class TreePath {
public:
    static constexpr int MaxDepth = 32;  // deeper trees are not supported

    TreePath() = default;
    TreePath(std::initializer_list<int> components);  // components beyond MaxDepth are dropped

    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Component i; 0 outside the path.
    int operator[](int i) const { return i >= 0 && i < count_ ? components_[i] : 0; }
    // The last component; -1 for the empty path.
    int last() const { return count_ > 0 ? components_[count_ - 1] : -1; }
    // Appends a component; false when the path is full.
    bool push(int position);
    // The path without its last component (the parent's path).
    TreePath parent() const;
    void reverse();

    bool operator==(const TreePath& other) const;
    bool operator!=(const TreePath& other) const { return !(*this == other); }

private:
    int components_[MaxDepth] = {};
    int count_ = 0;
};
