#include "controls/TreePath.h"
#include <algorithm>

TreePath::TreePath(std::initializer_list<int> components)
{
    for (int c : components) {
        if (!push(c)) break;
    }
}

bool TreePath::push(int position)
{
    if (count_ >= MaxDepth) return false;
    components_[count_++] = position;
    return true;
}

TreePath TreePath::parent() const
{
    TreePath p = *this;
    if (p.count_ > 0) p.components_[--p.count_] = 0;
    return p;
}

void TreePath::reverse()
{
    std::reverse(components_, components_ + count_);
}

bool TreePath::operator==(const TreePath& other) const
{
    return count_ == other.count_ && std::equal(components_, components_ + count_, other.components_);
}
