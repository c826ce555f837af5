// What a tree view reports to the application (installed through TreeItems::setEvents). The
// path is valid for the duration of the call; the defaults ignore the event and refuse drags.
#pragma once
#include "controls/TreePath.h"
#include "framework/DragData.h"

class TreeEvents {
public:
    virtual void selectionChanged(int treeId, const TreePath& path) { (void)treeId, (void)path; }   // 0
    virtual void itemExpanding(int treeId, const TreePath& path) { (void)treeId, (void)path; }      // 1
    virtual void itemCollapsed(int treeId, const TreePath& path) { (void)treeId, (void)path; }      // 2
    // True starts the drag with the data filled in.
    virtual bool dragStarting(int treeId, DragData& data, const TreePath& path)                    // 3
    {
        (void)treeId, (void)data, (void)path;
        return false;
    }
    // True highlights the item as the drop target.
    virtual bool dragOver(int treeId, const DragData& data, const TreePath& path)                  // 4
    {
        (void)treeId, (void)data, (void)path;
        return false;
    }
    // True selects the item dropped on.
    virtual bool drop(int treeId, const DragData& data, const TreePath& path)                      // 5
    {
        (void)treeId, (void)data, (void)path;
        return false;
    }

protected:
    TreeEvents() = default;
    TreeEvents(const TreeEvents&) = default;
    TreeEvents& operator=(const TreeEvents&) = default;
    ~TreeEvents() = default;  // never deleted by the tree
};
