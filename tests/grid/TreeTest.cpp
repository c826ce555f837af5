#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "controls/TreeEvents.h"
#include "controls/TreeIcons.h"
#include "controls/TreeItems.h"
#include "controls/TreePath.h"
#include "controls/TreeViewWrapper.h"
#include "tests/grid/GridIds.h"
#include "tests/grid/GridRecorder.h"

namespace {

const int treeIconIds[] = {102, 103, 104, 0};
const TreeIcons treeIcons(IDC_TREE, treeIconIds, 0);
const ControlDescriptor* const treeList[] = {&treeIcons, nullptr};

struct TreeEvent {
    std::string what;
    int treeId;
    TreePath path;
    DragData data;
};

// Records every event; answers drags as told.
class TreeLog : public TreeEvents {
public:
    void selectionChanged(int treeId, const TreePath& path) override { add("selection", treeId, path); }
    void itemExpanding(int treeId, const TreePath& path) override { add("expanding", treeId, path); }
    void itemCollapsed(int treeId, const TreePath& path) override { add("collapsed", treeId, path); }
    bool dragStarting(int treeId, DragData& data, const TreePath& path) override
    {
        data = startData;
        add("dragStarting", treeId, path, data);
        return startAnswer;
    }
    bool dragOver(int treeId, const DragData& data, const TreePath& path) override
    {
        add("dragOver", treeId, path, data);
        return overAnswer;
    }
    bool drop(int treeId, const DragData& data, const TreePath& path) override
    {
        add("drop", treeId, path, data);
        return dropAnswer;
    }

    int count(const std::string& what) const
    {
        int n = 0;
        for (const TreeEvent& e : events) n += e.what == what;
        return n;
    }
    const TreeEvent* last(const std::string& what) const
    {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->what == what) return &*it;
        }
        return nullptr;
    }

    std::vector<TreeEvent> events;
    DragData startData{7, 9};
    bool startAnswer = true;
    bool overAnswer = true;
    bool dropAnswer = true;

private:
    void add(const char* what, int treeId, const TreePath& path, DragData data = {})
    {
        events.push_back(TreeEvent{what, treeId, path, data});
    }
};

std::string textOf(HWND tree, HTREEITEM item)
{
    char text[260] = "";
    TVITEMA info{};
    info.mask = TVIF_TEXT | TVIF_HANDLE;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return "<none>";
    return text;
}

TVITEMA itemInfo(HWND tree, HTREEITEM item)
{
    TVITEMA info{};
    info.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    info.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

// Texts of the children of an item (the top level for null), in order.
std::vector<std::string> children(HWND tree, HTREEITEM parent)
{
    std::vector<std::string> out;
    HTREEITEM c = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    for (; c; c = TreeView_GetNextSibling(tree, c)) out.push_back(textOf(tree, c));
    return out;
}

using Texts = std::vector<std::string>;

struct TreeFixture : ::testing::Test {
    void SetUp() override
    {
        d = std::make_unique<GridRecorder>(IDD_TREE, treeList);
        ASSERT_TRUE(d->created());
        w = d->wrapper<TreeViewWrapper>(IDC_TREE);
        ASSERT_NE(w, nullptr);
        tree = GetDlgItem(d->hwnd(), IDC_TREE);
        items = static_cast<TreeItems*>(d->window()->findTarget(IDC_TREE)->getExtension(0));
        ASSERT_EQ(items, static_cast<TreeItems*>(w));
        items->setEvents(&log);
        SetForegroundWindow(d->hwnd());
    }

    // A with children A1 and A2, through the cursor alone.
    void buildA()
    {
        ValueTarget* t = d->window()->findTarget(IDC_TREE);
        t->setText("A", -2);
        t->setInt(0, -22);
        t->setText("A1", -2);
        t->setText("A2", -2);
        t->setInt(0, -21);
    }

    // The centre of an item's label, in the dialog's client coordinates.
    LPARAM centreOf(HTREEITEM item)
    {
        RECT r{};
        std::memcpy(&r, &item, sizeof item);
        SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        MapWindowPoints(tree, d->hwnd(), &p, 1);
        return MAKELPARAM(p.x, p.y);
    }

    void beginDragOf(HTREEITEM item)
    {
        RECT r{};
        std::memcpy(&r, &item, sizeof item);
        SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        NMTREEVIEWA nm{};
        nm.hdr.hwndFrom = tree;
        nm.hdr.idFrom = IDC_TREE;
        nm.hdr.code = TVN_BEGINDRAGA;
        nm.action = 0;
        nm.itemNew.mask = TVIF_HANDLE;
        nm.itemNew.hItem = item;
        nm.ptDrag = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        SendMessageA(d->hwnd(), WM_NOTIFY, IDC_TREE, reinterpret_cast<LPARAM>(&nm));
    }

    HTREEITEM caret() { return TreeView_GetSelection(tree); }
    // The one item drawn as drop target, null when none; -1 (as a handle) when several are.
    HTREEITEM highlighted()
    {
        std::vector<HTREEITEM> found;
        collectHighlighted(nullptr, found);
        if (found.size() > 1) return reinterpret_cast<HTREEITEM>(static_cast<INT_PTR>(-1));
        return found.empty() ? nullptr : found[0];
    }
    void collectHighlighted(HTREEITEM parent, std::vector<HTREEITEM>& found)
    {
        HTREEITEM c = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
        for (; c; c = TreeView_GetNextSibling(tree, c)) {
            if (TreeView_GetItemState(tree, c, TVIS_DROPHILITED) & TVIS_DROPHILITED) found.push_back(c);
            collectHighlighted(c, found);
        }
    }

    std::unique_ptr<GridRecorder> d;
    TreeViewWrapper* w = nullptr;
    HWND tree = nullptr;
    TreeItems* items = nullptr;
    TreeLog log;
};

using Tree = TreeFixture;

}  // namespace

TEST(TreePathValue, ComponentsParentAndEquality)
{
    TreePath p{0, 3, 1};
    EXPECT_EQ(p.count(), 3);
    EXPECT_EQ(p[1], 3);
    EXPECT_EQ(p[7], 0);
    EXPECT_EQ(p[-1], 0);
    EXPECT_EQ(p.last(), 1);
    EXPECT_EQ(p.parent(), (TreePath{0, 3}));
    EXPECT_EQ(p.parent().parent().parent(), TreePath());
    EXPECT_EQ(TreePath().parent(), TreePath());
    EXPECT_EQ(TreePath().last(), -1);
    EXPECT_TRUE(TreePath().empty());
    EXPECT_NE(p, (TreePath{0, 3, 2}));
    EXPECT_NE(p, (TreePath{0, 3}));
    TreePath r = p;
    r.reverse();
    EXPECT_EQ(r, (TreePath{1, 3, 0}));

    TreePath full;
    for (int i = 0; i < TreePath::MaxDepth; ++i) EXPECT_TRUE(full.push(i));
    EXPECT_FALSE(full.push(99));
    EXPECT_EQ(full.count(), 32);
    EXPECT_EQ(full.last(), 31);
}

TEST_F(Tree, CursorBuildsAWithChildrenA1AndA2)
{
    buildA();
    EXPECT_EQ(w->parentItem(), nullptr);  // back at the top level
    HTREEITEM a = w->itemOf({0});
    HTREEITEM a2 = w->itemOf({0, 1});
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a2, nullptr);
    EXPECT_EQ(textOf(tree, a), "A");
    EXPECT_EQ(textOf(tree, a2), "A2");
    EXPECT_EQ(w->pathOf(a2), (TreePath{0, 1}));
    EXPECT_EQ(w->lastItem(), a2);
    EXPECT_EQ(children(tree, a), (Texts{"A1", "A2"}));
    // Item data: the number of items the tree held before.
    EXPECT_EQ(itemInfo(tree, a).lParam, 0);
    EXPECT_EQ(itemInfo(tree, w->itemOf({0, 0})).lParam, 1);
    EXPECT_EQ(itemInfo(tree, a2).lParam, 2);

    ValueTarget* t = d->window()->findTarget(IDC_TREE);
    t->setText("B", -2);
    EXPECT_EQ(children(tree, nullptr), (Texts{"A", "B"}));
    t->setText("ignored", 0);  // only -2 appends
    EXPECT_EQ(TreeView_GetCount(tree), 4u);

    // Moves that cannot be made leave the cursor where it is.
    t->setInt(0, -21);
    EXPECT_EQ(w->parentItem(), nullptr);
    t->setInt(5, -22);
    EXPECT_EQ(w->parentItem(), nullptr);
    t->setInt(0, -22);
    EXPECT_EQ(w->parentItem(), a);
    t->setInt(1, -22);  // into A2, which has no children
    EXPECT_EQ(w->parentItem(), a2);
    t->setInt(0, -22);
    EXPECT_EQ(w->parentItem(), a2);
    t->setInt(0, -21);
    EXPECT_EQ(w->parentItem(), a);
    t->setInt(-9, -22);  // a negative n is the first child
    EXPECT_EQ(w->parentItem(), w->itemOf({0, 0}));
    t->setInt(0, -20);
    EXPECT_EQ(w->parentItem(), nullptr);
}

TEST_F(Tree, InsertAtBeforeA1AndAfterA2)
{
    buildA();
    EXPECT_TRUE(items->insertAt({0, 0}, "first", -1, -1));
    EXPECT_EQ(children(tree, w->itemOf({0})), (Texts{"first", "A1", "A2"}));
    EXPECT_TRUE(items->insertAt({0, 5}, "end", 2, 1));
    EXPECT_EQ(children(tree, w->itemOf({0})), (Texts{"first", "A1", "A2", "end"}));
    TVITEMA end = itemInfo(tree, w->itemOf({0, 3}));
    EXPECT_EQ(end.iImage, 2);
    EXPECT_EQ(end.iSelectedImage, 1);
    EXPECT_TRUE(items->insertAt({0, 2}, "middle", -1, -1));
    EXPECT_EQ(children(tree, w->itemOf({0})), (Texts{"first", "A1", "middle", "A2", "end"}));
    EXPECT_TRUE(items->insertAt({0, 1, 0}, "under A1", -1, -1));
    EXPECT_EQ(children(tree, w->itemOf({0, 1})), (Texts{"under A1"}));

    // A parent path that leads nowhere means the top level.
    EXPECT_TRUE(items->insertAt({4, 0}, "top", -1, -1));
    EXPECT_TRUE(items->insertAt({1}, "second", -1, -1));
    EXPECT_EQ(children(tree, nullptr), (Texts{"top", "second", "A"}));
    EXPECT_FALSE(items->insertAt(TreePath(), "nothing", -1, -1));
    EXPECT_FALSE(items->insertAt({0, -1}, "nothing", -1, -1));
    EXPECT_EQ(TreeView_GetCount(tree), 9u);
}

TEST_F(Tree, ImageFlagsUseTheIconsModuloTheirCount)
{
    EXPECT_EQ(w->iconCount(), 3);
    auto list = reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));

    ValueTarget* t = d->window()->findTarget(IDC_TREE);
    // No item yet: -1 addresses the first child of the cursor, which does not exist either.
    t->setInt(TreeViewWrapper::ApplyIcon | 1, -1);
    EXPECT_EQ(w->lastItem(), nullptr);

    buildA();
    t->setInt(TreeViewWrapper::ApplyIcon | 4, -1);
    TVITEMA a2 = itemInfo(tree, w->itemOf({0, 1}));
    EXPECT_EQ(a2.iImage, 1);  // 4 mod 3
    t->setInt(TreeViewWrapper::ApplySelectedIcon | (5 << 12) | 2, -1);
    a2 = itemInfo(tree, w->itemOf({0, 1}));
    EXPECT_EQ(a2.iImage, 1);  // bits without their apply flag change nothing
    EXPECT_EQ(a2.iSelectedImage, 2);  // 5 mod 3

    // Another item number addresses a child of the cursor and makes it the last item.
    t->setInt(0, -22);
    t->setInt(TreeViewWrapper::ApplyIcon | TreeViewWrapper::ApplySelectedIcon | 2 | (1 << 12), 0);
    EXPECT_EQ(w->lastItem(), w->itemOf({0, 0}));
    TVITEMA a1 = itemInfo(tree, w->itemOf({0, 0}));
    EXPECT_EQ(a1.iImage, 2);
    EXPECT_EQ(a1.iSelectedImage, 1);
    t->setInt(TreeViewWrapper::ApplyIcon, 7);  // no 7th child: nothing
    EXPECT_EQ(w->lastItem(), w->itemOf({0, 0}));

    // Through paths, any image index is taken as it is.
    EXPECT_TRUE(items->setItemImages({0}, 2, -1));
    EXPECT_EQ(itemInfo(tree, w->itemOf({0})).iImage, 2);
    EXPECT_FALSE(items->setItemImages({3}, 1, 1));
}

TEST(TreePlain, WithoutIconsTheImageFlagsAreIgnored)
{
    GridRecorder d(IDD_TREE, treeList);
    auto* w = d.wrapper<TreeViewWrapper>(IDC_PLAIN_TREE);
    ASSERT_NE(w, nullptr);
    HWND tree = GetDlgItem(d.hwnd(), IDC_PLAIN_TREE);
    EXPECT_EQ(w->iconCount(), 0);
    EXPECT_EQ(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
    w->setText("only", -2);
    TVITEMA before = itemInfo(tree, w->lastItem());
    w->setInt(TreeViewWrapper::ApplyIcon | TreeViewWrapper::ApplySelectedIcon | 4 | (3 << 12), -1);
    TVITEMA after = itemInfo(tree, w->lastItem());
    EXPECT_EQ(after.iImage, before.iImage);
    EXPECT_EQ(after.iSelectedImage, before.iSelectedImage);
    EXPECT_EQ(textOf(tree, w->lastItem()), "only");
}

TEST_F(Tree, ClearDeletesSubtreesAndKeepsTheCursorValid)
{
    buildA();
    ValueTarget* t = d->window()->findTarget(IDC_TREE);
    t->setText("B", -2);
    t->setInt(0, -22);  // into A
    t->setInt(0, -22);  // into A1
    t->setText("A1a", -2);
    t->setInt(0, -21);  // back in A
    HTREEITEM a = w->itemOf({0});
    ASSERT_EQ(w->parentItem(), a);
    EXPECT_EQ(w->lastItem(), w->itemOf({0, 0, 0}));

    t->clear(0);  // A1 with A1a
    EXPECT_EQ(children(tree, a), (Texts{"A2"}));
    EXPECT_EQ(w->parentItem(), a);
    EXPECT_EQ(w->lastItem(), nullptr);  // it was deleted with its parent
    t->clear(3);  // no such child
    EXPECT_EQ(TreeView_GetCount(tree), 3u);

    t->clear(-3);  // A itself; the cursor goes up to the top
    EXPECT_EQ(w->parentItem(), nullptr);
    EXPECT_EQ(children(tree, nullptr), (Texts{"B"}));

    // Removing the cursor's item through a path moves the cursor to its parent.
    t->setInt(0, -22);
    t->setText("B1", -2);
    t->setInt(0, -22);
    ASSERT_EQ(w->parentItem(), w->itemOf({0, 0}));
    EXPECT_TRUE(items->remove({0, 0}));
    EXPECT_EQ(w->parentItem(), w->itemOf({0}));
    t->setText("B2", -2);
    EXPECT_EQ(children(tree, w->itemOf({0})), (Texts{"B2"}));

    t->setInt(0, -20);
    t->clear(-3);  // at the top level: everything
    EXPECT_EQ(TreeView_GetCount(tree), 0u);
    EXPECT_EQ(w->lastItem(), nullptr);
}

TEST_F(Tree, ItemsByPath)
{
    buildA();
    EXPECT_TRUE(items->setItem({0, 1}, "second", 1, 2));
    TVITEMA a2 = itemInfo(tree, w->itemOf({0, 1}));
    EXPECT_EQ(textOf(tree, w->itemOf({0, 1})), "second");
    EXPECT_EQ(a2.iImage, 1);
    EXPECT_EQ(a2.iSelectedImage, 2);
    EXPECT_TRUE(items->setItem({0, 1}, "again", -1, -1));
    EXPECT_EQ(itemInfo(tree, w->itemOf({0, 1})).iImage, 1);
    EXPECT_FALSE(items->setItem({0, 2}, "nothing", -1, -1));
    EXPECT_FALSE(items->setItem({1}, "nothing", -1, -1));
    EXPECT_FALSE(items->remove({0, 0, 0}));
    EXPECT_EQ(w->itemOf({0, 2}), nullptr);
    EXPECT_EQ(w->itemOf({0, 0, 0}), nullptr);
    EXPECT_EQ(w->itemOf(TreePath()), nullptr);

    log.events.clear();
    EXPECT_TRUE(items->select({0, 1}));
    EXPECT_EQ(caret(), w->itemOf({0, 1}));
    ASSERT_EQ(log.count("selection"), 1);
    EXPECT_EQ(log.last("selection")->treeId, IDC_TREE);
    EXPECT_EQ(log.last("selection")->path, (TreePath{0, 1}));
    EXPECT_EQ(w->selectedPath(), (TreePath{0, 1}));
    EXPECT_FALSE(items->select({9}));  // a path to nothing clears the selection
    EXPECT_EQ(caret(), nullptr);
    EXPECT_TRUE(w->selectedPath().empty());

    EXPECT_TRUE(items->remove({0, 0}));
    EXPECT_EQ(children(tree, w->itemOf({0})), (Texts{"again"}));
}

TEST_F(Tree, ExpandAfterACollapseReportsOnce)
{
    buildA();
    log.events.clear();
    EXPECT_TRUE(items->expand({0}));
    EXPECT_TRUE(TreeView_GetItemState(tree, w->itemOf({0}), TVIS_EXPANDED) & TVIS_EXPANDED);
    ASSERT_EQ(log.count("expanding"), 1);  // the control's own announcement
    EXPECT_EQ(log.last("expanding")->path, (TreePath{0}));

    EXPECT_TRUE(items->collapse({0}));
    EXPECT_FALSE(TreeView_GetItemState(tree, w->itemOf({0}), TVIS_EXPANDED) & TVIS_EXPANDED);
    ASSERT_EQ(log.count("collapsed"), 1);
    EXPECT_EQ(log.last("collapsed")->path, (TreePath{0}));
    EXPECT_TRUE(items->collapse({0}));  // not expanded: nothing
    EXPECT_EQ(log.count("collapsed"), 1);

    EXPECT_TRUE(items->expand({0}));
    EXPECT_EQ(log.count("expanding"), 2);  // announced by the wrapper, exactly once
    EXPECT_TRUE(items->expand({0}));  // already expanded
    EXPECT_EQ(log.count("expanding"), 2);
    EXPECT_TRUE(items->collapse({0}));
    EXPECT_EQ(log.count("collapsed"), 2);
    EXPECT_FALSE(items->expand({5}));
    EXPECT_FALSE(items->collapse({5}));

    // The user's expansions and collapses arrive as notifications, once each.
    log.events.clear();
    items->select({0});
    SetFocus(tree);
    SendMessageA(tree, WM_KEYDOWN, VK_ADD, 0);
    SendMessageA(tree, WM_KEYDOWN, VK_SUBTRACT, 0);
    EXPECT_EQ(log.count("expanding"), 1);
    EXPECT_EQ(log.count("collapsed"), 1);
    EXPECT_EQ(log.last("collapsed")->path, (TreePath{0}));
}

TEST_F(Tree, DragStartsHighlightsTheTargetAndDrops)
{
    buildA();
    d->window()->findTarget(IDC_TREE)->setText("B", -2);
    d->window()->findTarget(IDC_TREE)->setText("C", -2);
    items->expand({0});
    settle();
    HTREEITEM a1 = w->itemOf({0, 0});
    HTREEITEM b = w->itemOf({1});
    HTREEITEM c = w->itemOf({2});
    items->select({2});
    log.events.clear();

    beginDragOf(b);
    ASSERT_EQ(log.count("dragStarting"), 1);
    EXPECT_EQ(log.last("dragStarting")->path, (TreePath{1}));
    ASSERT_TRUE(d->window()->dragging());
    EXPECT_EQ(d->window()->dragData().data1, 7);
    EXPECT_EQ(d->window()->dragData().data2, 9);
    EXPECT_EQ(caret(), nullptr);  // the selection is cleared while dragging
    POINT hotSpot{};
    EXPECT_NE(ImageList_GetDragImage(nullptr, &hotSpot), nullptr);  // the item's drag image
    EXPECT_EQ(hotSpot.x, 10);
    EXPECT_EQ(hotSpot.y, 10);

    SendMessageA(d->hwnd(), WM_MOUSEMOVE, 0, centreOf(a1));
    ASSERT_EQ(log.count("dragOver"), 1);
    EXPECT_EQ(log.last("dragOver")->path, (TreePath{0, 0}));
    EXPECT_EQ(log.last("dragOver")->data.data1, 7);
    EXPECT_EQ(highlighted(), a1);
    SendMessageA(d->hwnd(), WM_MOUSEMOVE, 0, centreOf(a1));  // already the drop target
    EXPECT_EQ(log.count("dragOver"), 1);
    EXPECT_EQ(highlighted(), a1);

    log.overAnswer = false;  // refused: the highlight stays where it was
    SendMessageA(d->hwnd(), WM_MOUSEMOVE, 0, centreOf(c));
    EXPECT_EQ(log.count("dragOver"), 2);
    EXPECT_EQ(highlighted(), a1);

    RECT client;
    GetClientRect(tree, &client);
    POINT below{client.right / 2, client.bottom - 4};  // under the last item
    MapWindowPoints(tree, d->hwnd(), &below, 1);
    SendMessageA(d->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(below.x, below.y));
    EXPECT_EQ(highlighted(), nullptr);

    log.overAnswer = true;
    SendMessageA(d->hwnd(), WM_MOUSEMOVE, 0, centreOf(c));
    EXPECT_EQ(highlighted(), c);
    SendMessageA(d->hwnd(), WM_LBUTTONUP, 0, centreOf(c));
    EXPECT_FALSE(d->window()->dragging());
    ASSERT_EQ(log.count("drop"), 1);
    EXPECT_EQ(log.last("drop")->path, (TreePath{2}));
    EXPECT_EQ(log.last("drop")->data.data2, 9);
    EXPECT_EQ(highlighted(), nullptr);
    EXPECT_EQ(caret(), c);  // accepted: selected, with the focus
    EXPECT_EQ(GetFocus(), tree);
    EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
}

TEST_F(Tree, RefusedDropSelectsNothingAndLeavingRemovesTheHighlight)
{
    buildA();
    d->window()->findTarget(IDC_TREE)->setText("B", -2);
    HTREEITEM a = w->itemOf({0});
    HTREEITEM b = w->itemOf({1});
    beginDragOf(a);
    ASSERT_TRUE(d->window()->dragging());
    SendMessageA(d->hwnd(), WM_MOUSEMOVE, 0, centreOf(b));
    EXPECT_EQ(highlighted(), b);

    // Over the other tree: this one hears the drag leave.
    RECT other = {};
    GetWindowRect(GetDlgItem(d->hwnd(), IDC_PLAIN_TREE), &other);
    POINT p{(other.left + other.right) / 2, (other.top + other.bottom) / 2};
    ScreenToClient(d->hwnd(), &p);
    SendMessageA(d->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(highlighted(), nullptr);

    SendMessageA(d->hwnd(), WM_MOUSEMOVE, 0, centreOf(b));
    EXPECT_EQ(highlighted(), b);
    log.dropAnswer = false;
    SendMessageA(d->hwnd(), WM_LBUTTONUP, 0, centreOf(b));
    EXPECT_EQ(log.count("drop"), 1);
    EXPECT_EQ(highlighted(), nullptr);
    EXPECT_EQ(caret(), nullptr);

    // A start the application refuses is no drag.
    log.startAnswer = false;
    beginDragOf(b);
    EXPECT_EQ(log.count("dragStarting"), 2);
    EXPECT_FALSE(d->window()->dragging());
}

TEST_F(Tree, WithoutEventsNothingIsReportedAndNothingDrags)
{
    buildA();
    items->setEvents(nullptr);
    EXPECT_EQ(w->events(), nullptr);
    beginDragOf(w->itemOf({0}));
    EXPECT_FALSE(d->window()->dragging());
    EXPECT_TRUE(items->select({0, 1}));
    EXPECT_EQ(caret(), w->itemOf({0, 1}));
    EXPECT_EQ(w->selectedPath(), (TreePath{0, 1}));  // kept, though not reported
    EXPECT_TRUE(items->expand({0}));
    EXPECT_TRUE(items->collapse({0}));
    EXPECT_TRUE(items->expand({0}));
    EXPECT_TRUE(log.events.empty());
    EXPECT_FALSE(w->onDragOver(1, 1, nullptr));
}

TEST_F(Tree, PathsReachThirtyTwoLevels)
{
    ValueTarget* t = d->window()->findTarget(IDC_TREE);
    for (int level = 0; level < 33; ++level) {
        t->setText(("L" + std::to_string(level)).c_str(), -2);
        t->setInt(0, -22);
    }
    TreePath deepest;
    for (int i = 0; i < 32; ++i) deepest.push(0);
    HTREEITEM item = w->itemOf(deepest);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(textOf(tree, item), "L31");
    EXPECT_EQ(w->pathOf(item), deepest);
    // One level more than a path holds: no path at all rather than a wrong one.
    HTREEITEM below = TreeView_GetChild(tree, item);
    ASSERT_NE(below, nullptr);
    EXPECT_TRUE(w->pathOf(below).empty());
}
