// Tab controls with their pages, frame pages, and lookup of the pages' controls, on real dialogs.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "controls/FramePage.h"
#include "controls/FramePageWrapper.h"
#include "controls/TabPages.h"
#include "controls/TabWrapper.h"
#include "controls/TrackbarWrapper.h"
#include "framework/ControlLookup.h"
#include "framework/DialogWindow.h"
#include "framework/ValueTarget.h"
#include "tests/range/RangeIds.h"
#include "tests/range/RangeRecorder.h"

namespace {

const int twoPages[] = {IDD_PAGE1, IDD_PAGE2, 0};
const TabPages tabs(IDC_TAB, "One\tTwo\t\tThree\t", twoPages, 0);
const FramePage framePage(IDC_FRAME, IDD_FRAMEPAGE, 0);
const ControlDescriptor* const tabList[] = {&tabs, &framePage, nullptr};

const int manyPages[] = {IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY,
                         IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY,
                         IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, IDD_TINY, 0};
const TabPages manyTabs(IDC_MANY_TAB, "a\tb\tc", manyPages, 0);
const ControlDescriptor* const manyList[] = {&manyTabs, nullptr};

// The second page's resource is visible by itself.
const int visiblePages[] = {IDD_TINY, IDD_FRAMEPAGE, 0};
const TabPages visibleTabs(IDC_MANY_TAB, "a\tb", visiblePages, 0);
const ControlDescriptor* const visibleList[] = {&visibleTabs, nullptr};

std::string caption(HWND tab, int index)
{
    char text[64] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return "<none>";
    return text;
}

bool same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string str(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

int countChildDialogs(HWND parent)
{
    int n = 0;
    for (HWND c = GetTopWindow(parent); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char name[16] = "";
        GetClassNameA(c, name, sizeof name);
        n += std::string(name) == "#32770";
    }
    return n;
}

class Tabs : public RecordingTest {
protected:
    void SetUp() override
    {
        open(IDD_TABS, tabList);
        if (HasFatalFailure()) return;
        tab = dialog->as<TabWrapper>(IDC_TAB);
        ASSERT_NE(tab, nullptr);
        ASSERT_EQ(tab->pageCount(), 2);
    }
    void clickTab(int index)
    {
        RECT r{};
        HWND h = dialog->item(IDC_TAB);
        ASSERT_TRUE(SendMessageA(h, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
        POINT at = centre(r);
        clickAt(h, at.x, at.y);
    }
    std::vector<Report> selections() const { return dialog->of("selection"); }

    TabWrapper* tab = nullptr;
};

}  // namespace

TEST_F(Tabs, CaptionsMakeTabsAndPagesCoverTheDisplayArea)
{
    HWND h = dialog->item(IDC_TAB);
    EXPECT_EQ(SendMessageA(h, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(caption(h, 0), "One");
    EXPECT_EQ(caption(h, 1), "Two");
    EXPECT_EQ(caption(h, 2), "Three");
    EXPECT_EQ(SendMessageA(h, TCM_GETCURSEL, 0, 0), 0);

    RECT area{};
    GetWindowRect(h, &area);
    SendMessageA(h, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(nullptr, dialog->hwnd(), reinterpret_cast<POINT*>(&area), 2);
    ASSERT_LT(area.left, area.right);
    ASSERT_LT(area.top, area.bottom);
    int count = 0;
    const HWND* pages = nullptr;
    ASSERT_TRUE(tab->getPages(count, pages));
    ASSERT_EQ(count, 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(IsWindow(pages[i])) << i;
        EXPECT_EQ(pages[i], tab->page(i));
        EXPECT_EQ(GetParent(pages[i]), dialog->hwnd());
        EXPECT_TRUE(same(rectInParent(pages[i]), area)) << str(rectInParent(pages[i])) << " vs " << str(area);
    }
    EXPECT_NE(GetDlgItem(pages[0], IDC_PAGE1_EDIT), nullptr);
    EXPECT_NE(GetDlgItem(pages[1], IDC_PAGE2_EDIT), nullptr);
    // Only the first page is shown; both lie right below the tab control.
    EXPECT_TRUE(IsWindowVisible(pages[0]));
    EXPECT_FALSE(IsWindowVisible(pages[1]));
    HWND below = GetWindow(h, GW_HWNDNEXT);
    EXPECT_TRUE(below == pages[0] || below == pages[1]);
    EXPECT_EQ(tab->currentPage(), 0);
}

TEST_F(Tabs, SelectingTheThirdTabHidesThePageAndShowsNone)
{
    clickTab(2);
    EXPECT_EQ(SendMessageA(dialog->item(IDC_TAB), TCM_GETCURSEL, 0, 0), 2);
    EXPECT_FALSE(IsWindowVisible(tab->page(0)));
    EXPECT_FALSE(IsWindowVisible(tab->page(1)));
    ASSERT_EQ(selections().size(), 1u);
    EXPECT_EQ(selections()[0].id, IDC_TAB);
    EXPECT_EQ(selections()[0].a, 2);
    EXPECT_EQ(selections()[0].b, 1);
    EXPECT_EQ(tab->currentPage(), 2);

    clickTab(1);
    EXPECT_TRUE(IsWindowVisible(tab->page(1)));
    EXPECT_FALSE(IsWindowVisible(tab->page(0)));
    ASSERT_EQ(selections().size(), 2u);
    EXPECT_EQ(selections()[1].a, 1);
    EXPECT_EQ(selections()[1].b, 1);
    EXPECT_EQ(dialog->reports.size(), 2u);
}

TEST_F(Tabs, SelectByIndexShowsThePageOnlyWhenTheSelectionChanges)
{
    ValueTarget* t = dialog->window()->findTarget(IDC_TAB);
    ASSERT_EQ(t, static_cast<ValueTarget*>(tab));
    t->select(1);
    EXPECT_TRUE(IsWindowVisible(tab->page(1)));
    EXPECT_FALSE(IsWindowVisible(tab->page(0)));
    ASSERT_EQ(selections().size(), 1u);
    EXPECT_EQ(selections()[0].a, 1);
    EXPECT_EQ(selections()[0].b, 1);

    t->select(1);  // already selected
    t->select(3);  // beyond the tabs
    t->select(-1);
    EXPECT_EQ(dialog->reports.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(tab->page(1)));

    t->select(0);
    EXPECT_TRUE(IsWindowVisible(tab->page(0)));
    EXPECT_FALSE(IsWindowVisible(tab->page(1)));
    ASSERT_EQ(selections().size(), 2u);
    EXPECT_EQ(selections()[1].a, 0);
}

TEST_F(Tabs, SetTextRenamesATabInRange)
{
    HWND h = dialog->item(IDC_TAB);
    dialog->setText(IDC_TAB, "Renamed", 1);
    EXPECT_EQ(caption(h, 1), "Renamed");
    dialog->setText(IDC_TAB, "Nowhere", 3);
    dialog->setText(IDC_TAB, "Nowhere", -1);
    EXPECT_EQ(SendMessageA(h, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(caption(h, 0), "One");
    EXPECT_EQ(caption(h, 2), "Three");
    char own[32] = "unchanged";
    GetWindowTextA(h, own, sizeof own);
    EXPECT_STRNE(own, "Nowhere");
}

TEST_F(Tabs, PageControlsAreBoundToTheOwnerAndFoundById)
{
    HWND page2 = tab->page(1);
    HWND edit = GetDlgItem(page2, IDC_PAGE2_EDIT);
    ControlWrapper* w = ControlWrapper::fromWindow(edit);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->owner(), dialog->window());
    EXPECT_TRUE(same(w->rect(), rectInParent(edit)));  // in the page's coordinates

    // Found by id through the tab control's pages, and set through the owner.
    EXPECT_EQ(dialog->window()->findTarget(IDC_PAGE2_EDIT), w->target());
    EXPECT_EQ(findControl(dialog->hwnd(), IDC_PAGE1_EDIT), GetDlgItem(tab->page(0), IDC_PAGE1_EDIT));
    dialog->setText(IDC_PAGE2_EDIT, "on page two", -1);
    char text[32] = "";
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "on page two");

    // A page's controls come right after the tab control, before its later siblings.
    EXPECT_EQ(GetParent(findControl(dialog->hwnd(), IDC_LATER)), page2);

    // Their reports reach the owner's dialog.
    dialog->reports.clear();
    HWND track = GetDlgItem(page2, IDC_PAGE2_TRACK);
    ASSERT_NE(dynamic_cast<TrackbarWrapper*>(ControlWrapper::fromWindow(track)), nullptr);
    pressKey(track, VK_RIGHT);
    auto values = dialog->of("value");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].id, IDC_PAGE2_TRACK);
    EXPECT_EQ(values[0].b, 1);
}

TEST_F(Tabs, PagesLeaveTheOwnersGeometryAlone)
{
    RecordingDialog plain(IDD_TABS, nullptr);  // the same dialog without pages
    ASSERT_TRUE(plain.created());
    DialogWindow* withPages = dialog->window();
    DialogWindow* without = plain.window();
    EXPECT_EQ(withPages->clientWidth(), without->clientWidth());
    EXPECT_EQ(withPages->clientHeight(), without->clientHeight());
    EXPECT_EQ(withPages->minWidth(), without->minWidth());
    EXPECT_EQ(withPages->minHeight(), without->minHeight());
    RECT client{};
    GetClientRect(dialog->hwnd(), &client);
    EXPECT_EQ(withPages->clientWidth(), client.right);
    EXPECT_EQ(withPages->clientHeight(), client.bottom);
    EXPECT_EQ(withPages->hwnd(), dialog->hwnd());

    // Resizing the owner still lays out its own controls and leaves the page controls in place.
    HWND edit = GetDlgItem(tab->page(1), IDC_PAGE2_EDIT);
    RECT before = rectInParent(edit);
    RECT outer{};
    GetWindowRect(dialog->hwnd(), &outer);
    SetWindowPos(dialog->hwnd(), nullptr, 0, 0, outer.right - outer.left + 40, outer.bottom - outer.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER);
    pumpFor(20);
    EXPECT_EQ(withPages->clientWidth(), client.right + 40);
    EXPECT_TRUE(same(rectInParent(edit), before));
}

TEST_F(Tabs, FramePageLiesOverTheFrameAndIsNotSearched)
{
    HWND frame = dialog->item(IDC_FRAME);
    auto* fw = dialog->as<FramePageWrapper>(IDC_FRAME);
    ASSERT_NE(fw, nullptr);
    int count = -1;
    const HWND* pages = nullptr;
    EXPECT_FALSE(fw->getPages(count, pages));

    HWND page = GetWindow(frame, GW_HWNDNEXT);  // right after the frame in z-order
    ASSERT_NE(page, nullptr);
    HWND edit = GetDlgItem(page, IDC_FRAME_EDIT);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(same(rectInParent(page), rectInParent(frame))) << str(rectInParent(page)) << " vs " << str(rectInParent(frame));
    EXPECT_TRUE(IsWindowVisible(page));  // as its resource says

    ControlWrapper* w = ControlWrapper::fromWindow(edit);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->owner(), dialog->window());
    EXPECT_EQ(dialog->window()->findTarget(IDC_FRAME_EDIT), nullptr);
    EXPECT_EQ(findControl(dialog->hwnd(), IDC_FRAME_TRACK), nullptr);
    HWND track = GetDlgItem(page, IDC_FRAME_TRACK);
    ASSERT_NE(dynamic_cast<TrackbarWrapper*>(ControlWrapper::fromWindow(track)), nullptr);
    pressKey(track, VK_END);
    auto values = dialog->of("value");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].id, IDC_FRAME_TRACK);
    EXPECT_EQ(values[0].b, 100);
    // Both dialogs of this test are the tab's two pages and the frame's one.
    EXPECT_EQ(countChildDialogs(dialog->hwnd()), 3);
}

TEST_F(Tabs, TabWithoutDescriptorHasNoTabsAndNoPages)
{
    auto* bare = dialog->as<TabWrapper>(IDC_BARE_TAB);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(SendMessageA(dialog->item(IDC_BARE_TAB), TCM_GETITEMCOUNT, 0, 0), 0);
    int count = -1;
    const HWND* pages = nullptr;
    EXPECT_TRUE(bare->getPages(count, pages));
    EXPECT_EQ(count, 0);
    bare->select(0);
    EXPECT_TRUE(dialog->reports.empty());
    // A selection change without pages is still reported.
    NMHDR change{dialog->item(IDC_BARE_TAB), IDC_BARE_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(dialog->hwnd(), WM_NOTIFY, IDC_BARE_TAB, reinterpret_cast<LPARAM>(&change));
    ASSERT_EQ(selections().size(), 1u);
    EXPECT_EQ(selections()[0].id, IDC_BARE_TAB);
    EXPECT_EQ(selections()[0].a, -1);  // no tab is selected
}

TEST(ManyPages, OnlyTheCurrentPageShowsWhateverItsResourceSays)
{
    RecordingDialog dialog(IDD_MANY, visibleList);
    auto* tab = dialog.as<TabWrapper>(IDC_MANY_TAB);
    ASSERT_NE(tab, nullptr);
    ASSERT_EQ(tab->pageCount(), 2);
    EXPECT_TRUE(IsWindowVisible(tab->page(0)));
    EXPECT_FALSE(IsWindowVisible(tab->page(1)));
}

TEST(ManyPages, AtMost25PagesAreMade)
{
    RecordingDialog dialog(IDD_MANY, manyList);
    ASSERT_TRUE(dialog.created());
    auto* tab = dialog.as<TabWrapper>(IDC_MANY_TAB);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->pageCount(), 25);
    EXPECT_EQ(countChildDialogs(dialog.hwnd()), 25);
    int count = 0;
    const HWND* pages = nullptr;
    ASSERT_TRUE(tab->getPages(count, pages));
    ASSERT_EQ(count, 25);
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(IsWindow(pages[i])) << i;
        EXPECT_EQ(IsWindowVisible(pages[i]) != FALSE, i == 0) << i;
    }
}
