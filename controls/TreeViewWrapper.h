// A tree view built through the value interface (a cursor on the current parent item) or
// through TreeItems by path; it reports to TreeEvents and takes part in drag and drop.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "controls/TreeItems.h"
#include "controls/TreePath.h"
#include "framework/ControlWrapper.h"
#include "framework/UniqueImageList.h"

class ControlDescriptor;
class TreeEvents;

class TreeViewWrapper : public ControlWrapper, public TreeItems {
public:
    // Packed image flags of setInt.
    static constexpr int ApplyIcon = 0x1000000;
    static constexpr int ApplySelectedIcon = 0x2000000;
    // Cursor items of setInt and setText.
    static constexpr int AppendItem = -2;
    static constexpr int ToTop = -20;
    static constexpr int ToParent = -21;
    static constexpr int ToChild = -22;
    static constexpr int CursorItem = -3;  // clear: the cursor item with its subtree

    TreeViewWrapper(DialogWindow* owner, HWND tree, int id, const ControlDescriptor* descriptor);
    ~TreeViewWrapper() override;

    // ValueTarget: the cursor operations.
    void setText(const char* text, int item) override;
    void setInt(int value, int item) override;
    void clear(int item) override;
    using ValueTarget::select;
    // The TreeItems interface; the argument is ignored. The event sink is installed with
    // TreeItems::setEvents, not through this int, which cannot carry a pointer in a 64-bit build.
    void* getExtension(int which) override;

    // TreeItems.
    bool insertAt(const TreePath& path, const char* text, int image, int selectedImage) override;
    bool setItem(const TreePath& path, const char* text, int image, int selectedImage) override;
    bool setItemImages(const TreePath& path, int image, int selectedImage) override;
    bool remove(const TreePath& path) override;
    bool expand(const TreePath& path) override;
    bool collapse(const TreePath& path) override;
    bool select(const TreePath& path) override;
    void setEvents(TreeEvents* events) override;

    // Event interface.
    LRESULT onNotify(NMHDR* header) override;
    void onDragLeave() override;
    bool onDragOver(int x, int y, DragData* data) override;
    void onDrop(int x, int y, DragData* data) override;

    // Path of an item (empty for none, or deeper than a path holds) and item of a path.
    TreePath pathOf(HTREEITEM item) const;
    HTREEITEM itemOf(const TreePath& path) const;

    HTREEITEM parentItem() const { return parentItem_; }
    HTREEITEM lastItem() const { return lastItem_; }
    int iconCount() const { return iconCount_; }
    TreeEvents* events() const { return events_; }
    const TreePath& selectedPath() const { return selectedPath_; }

private:
    HTREEITEM nextItem(HTREEITEM item, UINT relation) const;
    // The n-th child (a negative n gives the first); null parent means the top level.
    HTREEITEM nthChild(HTREEITEM parent, int n) const;
    bool contains(HTREEITEM root, HTREEITEM item) const;
    void applyImages(HTREEITEM item, int flags);
    bool setImages(HTREEITEM item, int image, int selectedImage, const char* text);
    // Moves the cursor off a subtree about to be deleted.
    void forgetSubtree(HTREEITEM root);
    void deleteItem(HTREEITEM item);
    void startDrag(const NMTREEVIEWA& info);
    // The image dragged for an item (the caller owns it), or null.
    HIMAGELIST dragImageOf(HTREEITEM item) const;
    // The item under a point of the dialog's client area, or null.
    HTREEITEM itemAt(int x, int y) const;
    HTREEITEM dropTarget() const;
    void setDropTarget(HTREEITEM item, bool hideImage);

    HTREEITEM parentItem_ = nullptr;
    HTREEITEM lastItem_ = nullptr;
    int iconCount_ = 0;
    TreeEvents* events_ = nullptr;
    TreePath selectedPath_;
    HTREEITEM dropItem_ = nullptr;  // the item highlighted as drop target
    bool collapsing_ = false;       // our own collapse reports itself
    UniqueImageList icons_;
};
