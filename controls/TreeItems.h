// The path-based interface of a tree view (what its getExtension answers). Operations on a
// path that leads to no item do nothing and return false.
#pragma once
#include "controls/TreePath.h"

class TreeEvents;

class TreeItems {
public:
    // Inserts so that the new item takes the position path (appended when that position does
    // not exist); a parent path that leads nowhere means the top level. Images set when >= 0.
    virtual bool insertAt(const TreePath& path, const char* text, int image, int selectedImage) = 0;  // 0
    virtual bool setItem(const TreePath& path, const char* text, int image, int selectedImage) = 0;   // 1
    virtual bool setItemImages(const TreePath& path, int image, int selectedImage) = 0;               // 2
    virtual bool remove(const TreePath& path) = 0;                                                    // 3
    virtual bool expand(const TreePath& path) = 0;                                                    // 4
    virtual bool collapse(const TreePath& path) = 0;                                                  // 5
    // Selects the item; a path to nothing clears the selection.
    virtual bool select(const TreePath& path) = 0;                                                    // 6
    // The application's event sink (not owned; null stops the reports and the drags). Installed
    // here rather than through getExtension's int argument, which cannot hold a 64-bit pointer.
    virtual void setEvents(TreeEvents* events) = 0;                                                   // 7

protected:
    TreeItems() = default;
    TreeItems(const TreeItems&) = default;
    TreeItems& operator=(const TreeItems&) = default;
    ~TreeItems() = default;  // part of the tree's wrapper
};
