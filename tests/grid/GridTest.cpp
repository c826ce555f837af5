#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include "controls/ComboBoxWrapper.h"
#include "controls/GridColumns.h"
#include "controls/GridWrapper.h"
#include "framework/ControlLookup.h"
#include "tests/grid/GridIds.h"
#include "tests/grid/GridRecorder.h"

namespace {

const GridColumns gridColumns(IDC_GRID, "Name\tValue", 0);
const ControlDescriptor* const gridList[] = {&gridColumns, nullptr};
const GridColumns smallColumns(IDC_SMALL_GRID, "Cell", 0);
const ControlDescriptor* const smallList[] = {&smallColumns, nullptr};
const GridColumns wideColumns(IDC_WIDE_GRID, "", 0);
const ControlDescriptor* const wideList[] = {&wideColumns, nullptr};
// A grid descriptor on an edit makes no grid.
const GridColumns onEdit(IDC_NAME, "X", 0);
const ControlDescriptor* const onEditList[] = {&onEdit, nullptr};

// A kind-4 descriptor: the group box stays a plain one.
struct KindFour : ControlDescriptor {
    explicit KindFour(int id) : ControlDescriptor(id, 4, 0) {}
};
const KindFour kindFour(IDC_GRID);
const ControlDescriptor* const kindFourList[] = {&kindFour, nullptr};

int cellId(int row, int low)
{
    return static_cast<int>((static_cast<unsigned>(row) << 16) | static_cast<unsigned>(low));
}

int idOf(HWND cell)
{
    ControlWrapper* w = ControlWrapper::fromWindow(cell);
    return w ? w->id() : 0;
}

SCROLLINFO scrollInfo(HWND bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(bar, SB_CTL, &info);
    return info;
}

void scrollRequest(GridRecorder& d, GridWrapper& g, int request, int position = 0)
{
    SendMessageA(d.hwnd(), WM_VSCROLL, MAKEWPARAM(request, position), reinterpret_cast<LPARAM>(g.scrollBarWindow()));
}

void focus(GridRecorder& d, HWND window)
{
    SetForegroundWindow(d.hwnd());
    SetFocus(window);
    settle(10);
}

struct GridFixture : ::testing::Test {
    void SetUp() override
    {
        d = std::make_unique<GridRecorder>(IDD_GRID, gridList);
        ASSERT_TRUE(d->created());
        g = d->wrapper<GridWrapper>(IDC_GRID);
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(g->visibleRows(), 5) << "inner height " << g->innerRect().bottom - g->innerRect().top;
        ASSERT_EQ(g->columnCount(), 2);
        focus(*d, GetDlgItem(d->hwnd(), IDC_OUTSIDE));
        d->clear();
    }
    std::unique_ptr<GridRecorder> d;
    GridWrapper* g = nullptr;
};

using Grid = GridFixture;

}  // namespace

TEST(GridRows, FromTheInnerHeight)
{
    EXPECT_EQ(GridWrapper::rowsFor(150, 2), 5);
    EXPECT_EQ(GridWrapper::rowsFor(149, 2), 4);
    EXPECT_EQ(GridWrapper::rowsFor(176, 2), 6);
    // A box too small for one row keeps the template row.
    EXPECT_EQ(GridWrapper::rowsFor(45, 2), 1);
    EXPECT_EQ(GridWrapper::rowsFor(0, 2), 1);
    EXPECT_EQ(GridWrapper::rowsFor(-40, 2), 1);
    // More cells than the capacity: as many rows as the capacity holds.
    EXPECT_EQ(GridWrapper::rowsFor(1000, 81), 4);
    EXPECT_EQ(GridWrapper::rowsFor(1000, 400), 1);
    EXPECT_EQ(GridWrapper::rowsFor(1000, 0), 37);
    EXPECT_EQ(GridWrapper::rowsFor(20 + 26 * 80, 5), 80);
}

TEST_F(Grid, GroupBoxOf150InnerPixelsShowsFiveRowsOfCopies)
{
    HWND box = GetDlgItem(d->hwnd(), IDC_GRID);
    RECT outer = rectInParent(box);
    RECT inner = g->innerRect();
    EXPECT_EQ(inner.left, outer.left + 4);
    EXPECT_EQ(inner.right, outer.right - 4);
    EXPECT_EQ(inner.bottom, outer.bottom - 4);
    EXPECT_GT(inner.top, outer.top);
    int height = inner.bottom - inner.top;
    EXPECT_GE(height, 150);
    EXPECT_LT(height, 176);  // (height - 20) / 26 = 5
    EXPECT_EQ(GridWrapper::rowsFor(height, 2), 5);

    HWND templates[2] = {GetDlgItem(d->hwnd(), IDC_NAME), GetDlgItem(d->hwnd(), IDC_VALUE)};
    const int ids[2] = {IDC_NAME, IDC_VALUE};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(g->cell(i, 0), templates[i]);
        for (int j = 0; j < 5; ++j) {
            HWND c = g->cell(i, j);
            ASSERT_NE(c, nullptr) << i << "," << j;
            char name[40] = "";
            GetClassNameA(c, name, sizeof name);
            EXPECT_STREQ(name, "Edit");
            EXPECT_EQ(GetDlgCtrlID(c), ids[i]);
            EXPECT_EQ(GetParent(c), d->hwnd());
            ControlWrapper* w = ControlWrapper::fromWindow(c);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->id(), cellId(j, ids[i]));
            EXPECT_EQ(w->getKeyHandler(), static_cast<KeyHandler*>(g));
        }
    }
    EXPECT_EQ(g->cell(0, 5), nullptr);
    EXPECT_EQ(g->cell(2, 0), nullptr);
    EXPECT_NE(d->window()->findTarget(cellId(4, IDC_VALUE)), nullptr);
    EXPECT_EQ(d->window()->findTarget(cellId(5, IDC_VALUE)), nullptr);

    // Copies follow the templates in the tab order, row by row.
    EXPECT_EQ(GetWindow(g->cell(1, 0), GW_HWNDNEXT), g->cell(0, 1));
    EXPECT_EQ(GetWindow(g->cell(0, 1), GW_HWNDNEXT), g->cell(1, 1));
    EXPECT_EQ(GetWindow(g->cell(1, 1), GW_HWNDNEXT), g->cell(0, 2));
    EXPECT_EQ(GetNextDlgTabItem(d->hwnd(), g->cell(1, 3), FALSE), g->cell(0, 4));

    // Scroll bar: rows 0..4, a page of 5, inside the inner rectangle at its right edge.
    SCROLLINFO info = scrollInfo(g->scrollBarWindow());
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 4);
    EXPECT_EQ(info.nPage, 5u);
    EXPECT_EQ(info.nPos, 0);
    EXPECT_EQ(g->lastRow(), 4);
    RECT bar = rectInParent(g->scrollBarWindow());
    EXPECT_LE(bar.right, inner.right + 1);
    EXPECT_GT(bar.left, inner.left);
    EXPECT_EQ(GetDlgCtrlID(g->scrollBarWindow()), 0);
    EXPECT_EQ(ControlWrapper::fromWindow(g->scrollBarWindow())->id(), GridWrapper::AuxiliaryId);
}

TEST_F(Grid, HeaderItemsFromTheCaptionsPlaceTheColumns)
{
    HWND header = g->headerWindow();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(GetDlgCtrlID(header), GridWrapper::HeaderId);
    EXPECT_EQ(ControlWrapper::fromWindow(header)->id(), GridWrapper::AuxiliaryId);
    ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
    const char* captions[2] = {"Name", "Value"};
    const int widths[2] = {40, 50};
    RECT h = rectInParent(header);
    RECT inner = g->innerRect();
    EXPECT_EQ(h.left, inner.left);
    EXPECT_EQ(h.top, inner.top);
    for (int i = 0; i < 2; ++i) {
        char text[32] = "";
        HDITEMA item{};
        item.mask = HDI_WIDTH | HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(item.cxy, widths[i]);
        EXPECT_STREQ(text, captions[i]);
        RECT ir{};
        SendMessageA(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&ir));
        for (int j = 0; j < 5; ++j) {
            RECT c = rectInParent(g->cell(i, j));
            EXPECT_EQ(c.left, h.left + ir.left + 3) << i << "," << j;
            EXPECT_EQ(c.right - c.left, widths[i] - 4);
            EXPECT_EQ(c.top, h.bottom + 1 + GridWrapper::RowPitch * j);
            EXPECT_EQ(c.bottom - c.top, GridWrapper::CellHeight);
            EXPECT_EQ(ControlWrapper::fromWindow(g->cell(i, j))->rect().left, c.left);
        }
    }

    // A wider first column moves the second one.
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = 100;
    SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    settle();
    RECT ir{};
    SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&ir));
    EXPECT_EQ(ir.left, 100);
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(rectInParent(g->cell(1, j)).left, h.left + 103);
        EXPECT_EQ(rectInParent(g->cell(0, j)).right - rectInParent(g->cell(0, j)).left, 96);
    }
}

TEST_F(Grid, RowCountIsAtLeastTheVisibleRows)
{
    EXPECT_FALSE(g->setRowCount(3));
    EXPECT_EQ(g->lastRow(), 4);
    EXPECT_EQ(scrollInfo(g->scrollBarWindow()).nMax, 4);
    EXPECT_FALSE(g->setRowCount(5));

    EXPECT_TRUE(g->setRowCount(20));
    EXPECT_EQ(g->lastRow(), 19);
    SCROLLINFO info = scrollInfo(g->scrollBarWindow());
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 19);
    EXPECT_EQ(d->count("scrolled"), 0);  // the top row stays

    // Through the value interface; shrinking scrolls back into the range.
    d->setInt(IDC_GRID, 30, -10);
    EXPECT_EQ(g->lastRow(), 29);
    EXPECT_TRUE(g->scrollTo(25));
    d->clear();
    d->setInt(IDC_GRID, 10, -10);
    EXPECT_EQ(g->lastRow(), 9);
    EXPECT_EQ(g->topRow(), 5);
    ASSERT_EQ(d->count("scrolled"), 1);
    EXPECT_EQ(d->last("scrolled")->a, 5);
    EXPECT_EQ(scrollInfo(g->scrollBarWindow()).nPos, 5);
}

TEST_F(Grid, ScrollBarRequestsReachTheirTopRows)
{
    ASSERT_TRUE(g->setRowCount(20));
    struct Step {
        int request, position, top;
    };
    const Step steps[] = {
        {SB_BOTTOM, 0, 15},       {SB_PAGEUP, 0, 11},  {SB_TOP, 0, 0},       {SB_PAGEDOWN, 0, 4},
        {SB_PAGEUP, 0, 0},        {SB_LINEDOWN, 0, 1}, {SB_LINEUP, 0, 0},    {SB_THUMBPOSITION, 7, 7},
        {SB_THUMBPOSITION, 99, 15}, {SB_PAGEDOWN, 0, 15}, {SB_THUMBPOSITION, 2, 2},
    };
    for (const Step& s : steps) {
        scrollRequest(*d, *g, s.request, s.position);
        EXPECT_EQ(g->topRow(), s.top) << "request " << s.request;
        EXPECT_EQ(scrollInfo(g->scrollBarWindow()).nPos, s.top);
    }
    // Ten moves; the page down at the bottom found the grid where it was.
    EXPECT_EQ(d->count("scrolled"), 10);

    d->clear();
    scrollRequest(*d, *g, SB_THUMBTRACK, 9);  // scrolls when the thumb is released
    scrollRequest(*d, *g, SB_ENDSCROLL);
    scrollRequest(*d, *g, SB_LINEUP);
    scrollRequest(*d, *g, SB_LINEUP);
    scrollRequest(*d, *g, SB_LINEUP);  // already at the top
    EXPECT_EQ(g->topRow(), 0);
    EXPECT_EQ(d->count("scrolled"), 2);
}

TEST_F(Grid, ScrollingRenumbersEveryCellAndReportsOnce)
{
    ASSERT_TRUE(g->setRowCount(20));
    d->setInt(IDC_GRID, 3, -1);
    EXPECT_EQ(g->topRow(), 3);
    ASSERT_EQ(d->count("scrolled"), 1);
    EXPECT_EQ(d->last("scrolled")->id, IDC_GRID);
    EXPECT_EQ(d->last("scrolled")->a, 3);
    const int ids[2] = {IDC_NAME, IDC_VALUE};
    for (int j = 0; j < 5; ++j) {
        for (int i = 0; i < 2; ++i) EXPECT_EQ(idOf(g->cell(i, j)), cellId(3 + j, ids[i])) << i << "," << j;
    }
    EXPECT_EQ(d->window()->findTarget(IDC_NAME), nullptr);  // no cell shows row 0 now
    EXPECT_NE(d->window()->findTarget(cellId(7, IDC_NAME)), nullptr);

    // The grid's interface, as the refilling application reads it.
    KeyHandler* k = d->window()->findTarget(IDC_GRID)->getKeyHandler();
    ASSERT_EQ(k, static_cast<KeyHandler*>(g));
    EXPECT_EQ(k->getGridId(), IDC_GRID);
    EXPECT_EQ(k->getTopRow(), 3);
    EXPECT_EQ(k->getVisibleRows(), 5);
    EXPECT_EQ(k->getColumnCount(), 2);
    EXPECT_EQ(k->getCellId(0), IDC_NAME);
    EXPECT_EQ(k->getCellId(9), IDC_VALUE);
    EXPECT_EQ(k->getCellId(10), 0);

    // A cell reports with the id of the row it shows.
    focus(*d, g->cell(1, 2));
    const Report* gained = d->last("focus");
    ASSERT_NE(gained, nullptr);
    EXPECT_EQ(gained->id, cellId(5, IDC_VALUE));
    EXPECT_EQ(gained->a, 1);
    EXPECT_EQ(d->last("rowFocused")->a, 5);
    focus(*d, GetDlgItem(d->hwnd(), IDC_OUTSIDE));

    d->clear();
    EXPECT_FALSE(g->scrollTo(3));
    EXPECT_TRUE(d->reports.empty());
    EXPECT_TRUE(g->scrollTo(-4));
    EXPECT_EQ(g->topRow(), 0);
    EXPECT_TRUE(g->scrollTo(1000));
    EXPECT_EQ(g->topRow(), 15);
    EXPECT_EQ(idOf(g->cell(1, 4)), cellId(19, IDC_VALUE));
}

TEST_F(Grid, DownOnTheLastVisibleRowScrollsAndFocusesTheNextDataRow)
{
    ASSERT_TRUE(g->setRowCount(20));
    focus(*d, g->cell(1, 4));
    ASSERT_EQ(GetFocus(), g->cell(1, 4));
    EXPECT_EQ(g->currentRow(), 4);
    ASSERT_NE(d->last("rowFocused"), nullptr);
    EXPECT_EQ(d->last("rowFocused")->a, 4);
    d->clear();

    SendMessageA(g->cell(1, 4), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(g->topRow(), 1);
    EXPECT_EQ(d->count("scrolled"), 1);
    EXPECT_EQ(GetFocus(), g->cell(1, 4));
    EXPECT_EQ(idOf(GetFocus()), cellId(5, IDC_VALUE));
    EXPECT_EQ(g->currentRow(), 5);
    ASSERT_NE(d->last("rowFocused"), nullptr);
    EXPECT_EQ(d->last("rowFocused")->a, 5);
    EXPECT_EQ(d->all("rowFocused").front().a, -1);  // the old row is given up first

    // Down within the visible rows moves the focus without scrolling.
    focus(*d, g->cell(0, 1));
    d->clear();
    SendMessageA(g->cell(0, 1), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(GetFocus(), g->cell(0, 2));
    EXPECT_EQ(g->topRow(), 1);
    EXPECT_EQ(d->count("scrolled"), 0);
    EXPECT_EQ(d->last("rowFocused")->a, 3);

    // On the last data row there is nowhere to go.
    g->scrollTo(15);
    focus(*d, g->cell(0, 4));
    d->clear();
    SendMessageA(g->cell(0, 4), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(g->topRow(), 15);
    EXPECT_EQ(GetFocus(), g->cell(0, 4));
    EXPECT_EQ(d->count("scrolled"), 0);
}

TEST_F(Grid, TypedTextCommitsUnderItsOwnRowBeforeAnyScroll)
{
    ASSERT_TRUE(g->setRowCount(20));
    const std::function<void()> scrolls[] = {
        [&] { SendMessageA(g->cell(0, 4), WM_KEYDOWN, VK_DOWN, 0); },  // at the edge
        [&] { scrollRequest(*d, *g, SB_LINEDOWN); },
        [&] { d->setInt(IDC_GRID, 15, -11); },
        // Refused, then left; accepted by a dialog whose answer moves to the next row.
        [&] { d->acceptValues = false; scrollRequest(*d, *g, SB_LINEDOWN); focus(*d, GetDlgItem(d->hwnd(), IDC_OUTSIDE)); },
        [&] { d->acceptValues = true; d->advanceGrid = IDC_GRID; SendMessageA(g->cell(0, 4), WM_KEYDOWN, VK_DOWN, 0); },
        [&] { d->setInt(IDC_GRID, 5, -10); },  // shrinks back to the top
    };
    char typed = 'a';
    for (const auto& scroll : scrolls) {
        HWND c = g->cell(0, 4);
        ControlWrapper::fromWindow(c)->setText("", -1);
        focus(*d, c);
        int id = idOf(c);
        SendMessageA(c, WM_CHAR, static_cast<WPARAM>(typed), 1);
        d->clear();
        scroll();
        // The value comes first, only a row given up may precede it; the scroll follows.
        ASSERT_GE(d->reports.size(), 2u) << typed;
        const Report& v = d->reports[d->reports[0].what == "rowFocused" ? 1 : 0];
        EXPECT_EQ(v.what, "value") << typed;
        EXPECT_EQ(v.id, id) << typed;
        EXPECT_EQ(v.text, std::string(1, typed++));
        EXPECT_EQ(d->count("value"), 1);
        EXPECT_EQ(d->count("scrolled"), 1);
    }
}

TEST_F(Grid, UpOnRowZeroIsConsumedAndChangesNothing)
{
    ASSERT_TRUE(g->setRowCount(20));
    focus(*d, g->cell(0, 0));
    d->clear();
    ControlWrapper* w = ControlWrapper::fromWindow(g->cell(0, 0));
    EXPECT_TRUE(w->onKeyDown(VK_UP));
    SendMessageA(g->cell(0, 0), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(GetFocus(), g->cell(0, 0));
    EXPECT_EQ(g->topRow(), 0);
    EXPECT_TRUE(d->reports.empty());
    EXPECT_FALSE(w->onKeyDown(VK_LEFT));  // other keys reach the control

    // Up on the first visible row of a scrolled grid scrolls back one row.
    g->scrollTo(6);
    focus(*d, g->cell(1, 0));
    d->clear();
    SendMessageA(g->cell(1, 0), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(g->topRow(), 5);
    EXPECT_EQ(GetFocus(), g->cell(1, 0));
    EXPECT_EQ(idOf(GetFocus()), cellId(5, IDC_VALUE));
    EXPECT_EQ(d->last("rowFocused")->a, 5);
}

TEST_F(Grid, SetCurrentRowScrollsToItOrOnlyClearsTheRow)
{
    ASSERT_TRUE(g->setRowCount(20));
    d->setInt(IDC_GRID, 12, -11);
    EXPECT_EQ(g->topRow(), 8);
    EXPECT_EQ(g->currentRow(), 12);
    ASSERT_NE(d->last("rowFocused"), nullptr);
    EXPECT_EQ(d->last("rowFocused")->id, IDC_GRID);
    EXPECT_EQ(d->last("rowFocused")->a, 12);
    EXPECT_EQ(GetFocus(), GetDlgItem(d->hwnd(), IDC_OUTSIDE));  // the focus stays

    d->clear();
    d->setInt(IDC_GRID, 25, -11);
    ASSERT_EQ(d->reports.size(), 1u);
    EXPECT_EQ(d->reports[0].what, "rowFocused");
    EXPECT_EQ(d->reports[0].a, -1);
    EXPECT_EQ(g->currentRow(), -1);
    EXPECT_EQ(g->topRow(), 8);

    d->clear();
    g->setCurrentRow(25);  // no row focused: nothing to report
    EXPECT_TRUE(d->reports.empty());
    g->setCurrentRow(10);  // visible already: no scroll
    EXPECT_EQ(g->topRow(), 8);
    EXPECT_EQ(d->count("scrolled"), 0);
    g->setCurrentRow(2);
    EXPECT_EQ(g->topRow(), 2);
    EXPECT_EQ(d->last("rowFocused")->a, 2);
}

TEST_F(Grid, RefreshRequestReportsTheFocusedRow)
{
    ASSERT_TRUE(g->setRowCount(20));
    g->scrollTo(4);
    focus(*d, g->cell(0, 2));
    d->clear();
    g->onScrollFocus();
    ASSERT_EQ(d->reports.size(), 2u);
    EXPECT_EQ(d->reports[0].what, "scrolled");
    EXPECT_EQ(d->reports[0].a, 4);
    EXPECT_EQ(d->reports[1].what, "rowFocused");
    EXPECT_EQ(d->reports[1].a, 6);
    EXPECT_EQ(g->currentRow(), 6);

    focus(*d, GetDlgItem(d->hwnd(), IDC_OUTSIDE));
    d->clear();
    g->onScrollFocus();
    EXPECT_EQ(d->count("scrolled"), 1);
    EXPECT_EQ(d->count("rowFocused"), 0);
}

TEST_F(Grid, CellsOutliveTheGridWithHandlersOfTheirOwn)
{
    HWND box = GetDlgItem(d->hwnd(), IDC_GRID);
    HWND header = g->headerWindow();
    HWND c = g->cell(0, 1);
    std::unique_ptr<ControlWrapper> gone(ControlWrapper::fromWindow(box));
    gone.reset();
    EXPECT_EQ(ControlWrapper::fromWindow(box), nullptr);
    EXPECT_EQ(ControlWrapper::fromWindow(header), nullptr);
    ControlWrapper* w = ControlWrapper::fromWindow(c);
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->getKeyHandler(), nullptr);
    EXPECT_EQ(w->getKeyHandler()->getVisibleRows(), 1);
    EXPECT_FALSE(w->onKeyDown(VK_DOWN));
    d.reset();  // the dialog's teardown still finds every cell's wrapper
}

TEST(GridCombo, AComboBoxWithAnEditFieldHoldsTheFocusOfItsRow)
{
    GridRecorder d(IDD_GRID_COMBO, gridList);
    auto* g = d.wrapper<GridWrapper>(IDC_GRID);
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->columnCount(), 2);
    ASSERT_TRUE(g->setRowCount(20));
    auto editOf = [&](int row) {
        auto* combo = dynamic_cast<ComboBoxWrapper*>(ControlWrapper::fromWindow(g->cell(1, row)));
        return combo && combo->innerEdit() ? combo->innerEdit()->window() : nullptr;
    };
    ASSERT_NE(editOf(2), nullptr);
    focus(d, editOf(2));
    scrollRequest(d, *g, SB_THUMBPOSITION, 10);  // row 2 is gone: the nearest row shown takes the focus
    EXPECT_EQ(GetFocus(), editOf(0));
    EXPECT_EQ(g->currentRow(), 10);
    d.clear();
    g->onScrollFocus();
    ASSERT_NE(d.last("rowFocused"), nullptr);
    EXPECT_EQ(d.last("rowFocused")->a, 10);
}

TEST(GridBinding, OnlyGroupBoxesWithColumnsBecomeGrids)
{
    GridRecorder plain(IDD_GRID, nullptr);
    ControlWrapper* w = ControlWrapper::fromWindow(GetDlgItem(plain.hwnd(), IDC_GRID));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(dynamic_cast<GridWrapper*>(w), nullptr);
    EXPECT_EQ(GetDlgItem(plain.hwnd(), GridWrapper::HeaderId), nullptr);

    GridRecorder four(IDD_GRID, kindFourList);
    w = ControlWrapper::fromWindow(GetDlgItem(four.hwnd(), IDC_GRID));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(dynamic_cast<GridWrapper*>(w), nullptr);
    EXPECT_EQ(GetDlgItem(four.hwnd(), GridWrapper::HeaderId), nullptr);

    GridRecorder edit(IDD_GRID, onEditList);
    EXPECT_EQ(edit.wrapper<GridWrapper>(IDC_NAME), nullptr);
    EXPECT_EQ(edit.wrapper<GridWrapper>(IDC_GRID), nullptr);
}

TEST(GridBoxes, TooSmallForOneRowKeepsTheTemplateRow)
{
    GridRecorder d(IDD_GRID_SMALL, smallList);
    auto* g = d.wrapper<GridWrapper>(IDC_SMALL_GRID);
    ASSERT_NE(g, nullptr);
    EXPECT_LT(g->innerRect().bottom - g->innerRect().top, 20 + GridWrapper::RowPitch);
    EXPECT_EQ(g->visibleRows(), 1);
    EXPECT_EQ(g->columnCount(), 1);
    EXPECT_EQ(g->cell(0, 0), GetDlgItem(d.hwnd(), IDC_SMALL_CELL));
    EXPECT_EQ(g->lastRow(), 0);

    ASSERT_TRUE(g->setRowCount(10));
    focus(d, g->cell(0, 0));
    d.clear();
    SendMessageA(g->cell(0, 0), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(g->topRow(), 1);
    EXPECT_EQ(idOf(GetFocus()), cellId(1, IDC_SMALL_CELL));
    EXPECT_EQ(d.last("rowFocused")->a, 1);
    scrollRequest(d, *g, SB_PAGEDOWN);  // a page of one row still moves
    EXPECT_EQ(g->topRow(), 2);
    scrollRequest(d, *g, SB_BOTTOM);
    EXPECT_EQ(g->topRow(), 9);
    SendMessageA(g->cell(0, 0), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(g->topRow(), 8);
}

TEST(GridBoxes, MoreThan400CellsShowsOnlyTheRowsThatFit)
{
    GridRecorder d(IDD_GRID_WIDE, wideList);
    auto* g = d.wrapper<GridWrapper>(IDC_WIDE_GRID);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->columnCount(), WIDE_COLUMNS);
    int height = g->innerRect().bottom - g->innerRect().top;
    EXPECT_GE((height - 20) / GridWrapper::RowPitch, 5);  // room for more rows than cells allow
    EXPECT_EQ(g->visibleRows(), 400 / WIDE_COLUMNS);
    for (int j = 0; j < g->visibleRows(); ++j) {
        for (int i = 0; i < WIDE_COLUMNS; ++i) {
            ASSERT_NE(g->cell(i, j), nullptr) << i << "," << j;
            EXPECT_EQ(idOf(g->cell(i, j)), cellId(j, IDC_WIDE_FIRST + i));
        }
    }
    EXPECT_EQ(SendMessageA(g->headerWindow(), HDM_GETITEMCOUNT, 0, 0), 0);
    ASSERT_TRUE(g->setRowCount(50));
    EXPECT_TRUE(g->scrollTo(46));
    EXPECT_EQ(idOf(g->cell(80, 3)), cellId(49, IDC_WIDE_FIRST + 80));
}
