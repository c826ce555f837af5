#include "controls/TreeViewWrapper.h"
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>
#include "controls/TreeEvents.h"
#include "controls/TreeIcons.h"
#include "framework/Application.h"
#include "framework/ControlFactory.h"
#include "framework/DialogWindow.h"

namespace {

constexpr UINT OnItem = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;  // 0x46
constexpr UINT ActionMask = 3;  // TVE_EXPAND or TVE_COLLAPSE, without the partial flags

std::unique_ptr<ControlWrapper> createTreeView(DialogWindow& owner, HWND control, int id, LONG,
                                               const ControlDescriptor* descriptor)
{
    return std::make_unique<TreeViewWrapper>(&owner, control, id, descriptor);
}

const ControlFactory::Registration registration(ClassTreeView, &createTreeView);

// A transparent icon, standing in for one that does not load so later indexes stay in place.
HICON blankIcon(int width, int height)
{
    int rowBytes = ((width + 15) / 16) * 2;
    std::vector<BYTE> andMask(static_cast<size_t>(rowBytes) * height, 0xFF);
    std::vector<BYTE> xorMask(andMask.size(), 0);
    return CreateIcon(Application::get().instance(), width, height, 1, 1, andMask.data(), xorMask.data());
}

}  // namespace

TreeViewWrapper::TreeViewWrapper(DialogWindow* owner, HWND tree, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, tree, id)
{
    if (!descriptor || !descriptor->isKind(TreeIcons::Kind)) return;
    const int* ids = static_cast<const TreeIcons*>(descriptor)->iconIds;
    if (!ids) return;
    int n = 0;
    while (ids[n]) ++n;
    int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    icons_.reset(ImageList_Create(cx, cy, ILC_COLOR8 | ILC_MASK, n, 0));
    if (!icons_) return;
    for (int i = 0; i < n; ++i) {
        // Loaded as an icon of our own (not the shared one), so it may be released.
        HANDLE loaded = LoadImageA(Application::get().instance(), MAKEINTRESOURCEA(ids[i] & 0xFFFF), IMAGE_ICON, cx, cy,
                                   LR_DEFAULTCOLOR);
        UniqueIcon icon(loaded ? static_cast<HICON>(loaded) : blankIcon(cx, cy));
        ImageList_AddIcon(icons_.get(), icon.get());
    }
    iconCount_ = n;
    if (iconCount_ > 0) SendMessageA(hwnd_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons_.get()));
}

TreeViewWrapper::~TreeViewWrapper()
{
    // The control keeps using a list it was given; take it back before it is destroyed.
    if (icons_ && hwnd_ && IsWindow(hwnd_) &&
        reinterpret_cast<HIMAGELIST>(SendMessageA(hwnd_, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)) == icons_.get())
        SendMessageA(hwnd_, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
}

HTREEITEM TreeViewWrapper::nextItem(HTREEITEM item, UINT relation) const
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(hwnd_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM TreeViewWrapper::nthChild(HTREEITEM parent, int n) const
{
    HTREEITEM item = parent ? nextItem(parent, TVGN_CHILD) : nextItem(nullptr, TVGN_ROOT);
    for (int i = 0; i < n && item; ++i) item = nextItem(item, TVGN_NEXT);
    return item;
}

bool TreeViewWrapper::contains(HTREEITEM root, HTREEITEM item) const
{
    for (HTREEITEM i = item; i; i = nextItem(i, TVGN_PARENT)) {
        if (i == root) return true;
    }
    return false;
}

TreePath TreeViewWrapper::pathOf(HTREEITEM item) const
{
    TreePath path;
    for (HTREEITEM i = item; i; i = nextItem(i, TVGN_PARENT)) {
        int before = 0;
        for (HTREEITEM s = nextItem(i, TVGN_PREVIOUS); s; s = nextItem(s, TVGN_PREVIOUS)) ++before;
        if (!path.push(before)) return TreePath();  // deeper than a path can say
    }
    path.reverse();
    return path;
}

HTREEITEM TreeViewWrapper::itemOf(const TreePath& path) const
{
    if (path.empty()) return nullptr;
    HTREEITEM item = nextItem(nullptr, TVGN_ROOT);
    for (int i = 0; i < path.count() && item; ++i) {
        if (path[i] < 0) return nullptr;  // no position comes before the first
        for (int k = 0; k < path[i] && item; ++k) item = nextItem(item, TVGN_NEXT);
        if (item && i < path.count() - 1) item = nextItem(item, TVGN_CHILD);
    }
    return item;
}

void TreeViewWrapper::applyImages(HTREEITEM item, int flags)
{
    TVITEMA change{};
    change.mask = TVIF_HANDLE;
    change.hItem = item;
    // Without icons the indexes mean nothing (and there is nothing to take them modulo).
    if (iconCount_ > 0 && (flags & ApplyIcon)) {
        change.mask |= TVIF_IMAGE;
        change.iImage = (flags & 0xFFF) % iconCount_;
    }
    if (iconCount_ > 0 && (flags & ApplySelectedIcon)) {
        change.mask |= TVIF_SELECTEDIMAGE;
        change.iSelectedImage = ((flags >> 12) & 0xF) % iconCount_;
    }
    SendMessageA(hwnd_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

void TreeViewWrapper::setText(const char* text, int item)
{
    if (item != AppendItem) return;
    TVINSERTSTRUCTA insert{};
    insert.hParent = parentItem_ ? parentItem_ : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text ? text : "");
    insert.item.lParam = static_cast<LPARAM>(SendMessageA(hwnd_, TVM_GETCOUNT, 0, 0));
    HTREEITEM added = reinterpret_cast<HTREEITEM>(SendMessageA(hwnd_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (added) lastItem_ = added;
}

void TreeViewWrapper::setInt(int value, int item)
{
    switch (item) {
    case ToTop:
        parentItem_ = nullptr;
        return;
    case ToParent:
        if (parentItem_) parentItem_ = nextItem(parentItem_, TVGN_PARENT);
        return;
    case ToChild:
        if (HTREEITEM child = nthChild(parentItem_, value)) parentItem_ = child;
        return;
    case -1:
        if (lastItem_) {
            applyImages(lastItem_, value);
            return;
        }
        break;  // no item yet: -1 addresses a child like any other number
    default:
        break;
    }
    if (HTREEITEM child = nthChild(parentItem_, item)) {
        lastItem_ = child;
        applyImages(child, value);
    }
}

void TreeViewWrapper::forgetSubtree(HTREEITEM root)
{
    // The cursor never keeps the handle of a deleted item.
    if (lastItem_ && contains(root, lastItem_)) lastItem_ = nullptr;
    if (parentItem_ && contains(root, parentItem_)) parentItem_ = nextItem(root, TVGN_PARENT);
    if (dropItem_ && contains(root, dropItem_)) dropItem_ = nullptr;
}

void TreeViewWrapper::deleteItem(HTREEITEM item)
{
    forgetSubtree(item);
    SendMessageA(hwnd_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

void TreeViewWrapper::clear(int item)
{
    if (item == CursorItem) {
        if (!parentItem_) {
            lastItem_ = nullptr;
            dropItem_ = nullptr;
            SendMessageA(hwnd_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
            return;
        }
        deleteItem(parentItem_);  // the cursor moves to the former parent
        return;
    }
    if (HTREEITEM child = nthChild(parentItem_, item)) deleteItem(child);
}

void* TreeViewWrapper::getExtension(int)
{
    return static_cast<TreeItems*>(this);
}

bool TreeViewWrapper::setImages(HTREEITEM item, int image, int selectedImage, const char* text)
{
    TVITEMA change{};
    change.mask = TVIF_HANDLE;
    change.hItem = item;
    if (text) {
        change.mask |= TVIF_TEXT;
        change.pszText = const_cast<char*>(text);
    }
    if (image >= 0) {
        change.mask |= TVIF_IMAGE;
        change.iImage = image;
    }
    if (selectedImage >= 0) {
        change.mask |= TVIF_SELECTEDIMAGE;
        change.iSelectedImage = selectedImage;
    }
    return SendMessageA(hwnd_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change)) != 0;
}

bool TreeViewWrapper::insertAt(const TreePath& path, const char* text, int image, int selectedImage)
{
    int position = path.last();
    if (position < 0) return false;  // the empty path, or no position
    HTREEITEM parent = itemOf(path.parent());
    HTREEITEM after = TVI_FIRST;
    if (position > 0) after = nthChild(parent, position) ? nthChild(parent, position - 1) : TVI_LAST;
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text ? text : "");
    if (image >= 0) {
        insert.item.mask |= TVIF_IMAGE;
        insert.item.iImage = image;
    }
    if (selectedImage >= 0) {
        insert.item.mask |= TVIF_SELECTEDIMAGE;
        insert.item.iSelectedImage = selectedImage;
    }
    return SendMessageA(hwnd_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)) != 0;
}

bool TreeViewWrapper::setItem(const TreePath& path, const char* text, int image, int selectedImage)
{
    HTREEITEM item = itemOf(path);
    return item && setImages(item, image, selectedImage, text ? text : "");
}

bool TreeViewWrapper::setItemImages(const TreePath& path, int image, int selectedImage)
{
    HTREEITEM item = itemOf(path);
    return item && setImages(item, image, selectedImage, nullptr);
}

bool TreeViewWrapper::remove(const TreePath& path)
{
    HTREEITEM item = itemOf(path);
    if (!item) return false;
    deleteItem(item);
    return true;
}

bool TreeViewWrapper::expand(const TreePath& path)
{
    HTREEITEM item = itemOf(path);
    if (!item) return false;
    UINT state = static_cast<UINT>(
        SendMessageA(hwnd_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDEDONCE | TVIS_EXPANDED));
    // The control announces an expansion itself only the first time.
    if ((state & TVIS_EXPANDEDONCE) && !(state & TVIS_EXPANDED) && events_) events_->itemExpanding(id(), path);
    SendMessageA(hwnd_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    return true;
}

bool TreeViewWrapper::collapse(const TreePath& path)
{
    HTREEITEM item = itemOf(path);
    if (!item) return false;
    UINT state = static_cast<UINT>(SendMessageA(hwnd_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED));
    if (!(state & TVIS_EXPANDED)) return true;
    collapsing_ = true;
    SendMessageA(hwnd_, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
    collapsing_ = false;
    if (events_) events_->itemCollapsed(id(), path);
    return true;
}

bool TreeViewWrapper::select(const TreePath& path)
{
    HTREEITEM item = itemOf(path);
    SendMessageA(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    return item != nullptr;
}

void TreeViewWrapper::setEvents(TreeEvents* events)
{
    events_ = events;
}

LRESULT TreeViewWrapper::onNotify(NMHDR* header)
{
    if (!header) return 0;
    const auto& info = *reinterpret_cast<const NMTREEVIEWA*>(header);
    switch (header->code) {
    case TVN_SELCHANGEDA:
        selectedPath_ = pathOf(info.itemNew.hItem);
        if (events_) events_->selectionChanged(id(), selectedPath_);
        break;
    case TVN_ITEMEXPANDINGA:
        if ((info.action & ActionMask) == TVE_EXPAND && events_) {
            TreePath path = pathOf(info.itemNew.hItem);
            events_->itemExpanding(id(), path);
        }
        break;
    case TVN_ITEMEXPANDEDA:
        if ((info.action & ActionMask) == TVE_COLLAPSE && !collapsing_ && events_) {
            TreePath path = pathOf(info.itemNew.hItem);
            events_->itemCollapsed(id(), path);
        }
        break;
    case TVN_BEGINDRAGA:
        startDrag(info);
        break;
    default:
        break;
    }
    return 0;
}

void TreeViewWrapper::startDrag(const NMTREEVIEWA& info)
{
    if (!events_) return;
    HTREEITEM item = info.itemNew.hItem;
    TreePath path = pathOf(item);
    DragData data;
    if (!events_->dragStarting(id(), data, path)) return;
    SendMessageA(hwnd_, TVM_SELECTITEM, TVGN_CARET, 0);
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the item goes in, its rectangle comes out
    if (SendMessageA(hwnd_, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r))) {
        InvalidateRect(hwnd_, &r, TRUE);
        UpdateWindow(hwnd_);
    }
    // The drag keeps its own copy of the image.
    UniqueImageList image(dragImageOf(item));
    if (image) ImageList_BeginDrag(image.get(), 0, 10, 10);
    if (!owner_) return;
    POINT at = info.ptDrag;
    MapWindowPoints(hwnd_, owner_->hwnd(), &at, 1);
    owner_->beginDrag(at.x, at.y, data.data1, data.data2);
}

HIMAGELIST TreeViewWrapper::dragImageOf(HTREEITEM item) const
{
    UniqueImageList made(reinterpret_cast<HIMAGELIST>(
        SendMessageA(hwnd_, TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item))));
    if (made && ImageList_GetImageCount(made.get()) > 0) return made.release();
    // Wine's tree hands out an empty image: copy the item (icon and label) from the screen.
    RECT r{};
    std::memcpy(&r, &item, sizeof item);
    if (!SendMessageA(hwnd_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return nullptr;
    if (iconCount_ > 0) r.left = std::max(0L, r.left - GetSystemMetrics(SM_CXSMICON) - 3);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return nullptr;
    HWND tree = hwnd_;
    auto releaseWindowDc = [tree](HDC dc) { ReleaseDC(tree, dc); };
    std::unique_ptr<HDC__, decltype(releaseWindowDc)> screen(GetDC(hwnd_), releaseWindowDc);
    if (!screen) return nullptr;
    std::unique_ptr<HDC__, BOOL(WINAPI*)(HDC)> memory(CreateCompatibleDC(screen.get()), &DeleteDC);
    UniqueGdiObject bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !bitmap) return nullptr;
    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
    SelectObject(memory.get(), old);
    UniqueImageList copy(ImageList_Create(width, height, ILC_COLOR24, 1, 0));
    if (!copy || ImageList_Add(copy.get(), static_cast<HBITMAP>(bitmap.get()), nullptr) < 0) return nullptr;
    return copy.release();
}

HTREEITEM TreeViewWrapper::itemAt(int x, int y) const
{
    if (!owner_) return nullptr;
    // Mapped exactly, borders included, from the dialog's client area to the tree's.
    TVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    MapWindowPoints(owner_->hwnd(), hwnd_, &hit.pt, 1);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(hwnd_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & OnItem) ? item : nullptr;
}

HTREEITEM TreeViewWrapper::dropTarget() const
{
    return dropItem_;
}

void TreeViewWrapper::setDropTarget(HTREEITEM item, bool hideImage)
{
    if (hideImage) ImageList_DragShowNolock(FALSE);
    SendMessageA(hwnd_, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item));
    if (!item && dropItem_ &&
        (SendMessageA(hwnd_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(dropItem_), TVIS_DROPHILITED) & TVIS_DROPHILITED)) {
        // Wine ignores a null drop target while no item is selected: clear the item's state.
        TVITEMA plain{};
        plain.mask = TVIF_HANDLE | TVIF_STATE;
        plain.hItem = dropItem_;
        plain.stateMask = TVIS_DROPHILITED;
        SendMessageA(hwnd_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&plain));
    }
    dropItem_ = item;
    if (hideImage) ImageList_DragShowNolock(TRUE);
}

bool TreeViewWrapper::onDragOver(int x, int y, DragData* data)
{
    HTREEITEM item = itemAt(x, y);
    HTREEITEM highlighted = dropTarget();
    if (!item) {
        if (highlighted) setDropTarget(nullptr, true);
        return false;
    }
    if (item == highlighted) return true;  // accepted before: not asked again
    if (!events_ || !data) return false;
    TreePath path = pathOf(item);
    if (!events_->dragOver(id(), *data, path)) return false;  // the highlight stays where it was
    setDropTarget(item, true);
    return true;
}

void TreeViewWrapper::onDragLeave()
{
    if (dropTarget()) setDropTarget(nullptr, true);
}

void TreeViewWrapper::onDrop(int x, int y, DragData* data)
{
    if (dropTarget()) setDropTarget(nullptr, false);  // the drag image is gone already
    HTREEITEM item = itemAt(x, y);
    if (!item || !events_ || !data) return;
    TreePath path = pathOf(item);
    if (!events_->drop(id(), *data, path)) return;
    SendMessageA(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
}
