#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "controls/ListViewSetup.h"
#include "controls/ListViewWrapper.h"
#include "tests/grid/GridIds.h"
#include "tests/grid/GridRecorder.h"

namespace {

const int icons[] = {102, 103, 104, 0};
const int overlays[] = {105, 107, 0};
const int states[] = {114, 0};
const int withMissing[] = {102, 22999, 104, 0};  // 22999 is no icon of the program
const ListViewSetup listSetup(IDC_LIST, "Name\tSize\tKind", 32, icons, overlays, states, 0);
const ListViewSetup plainSetup(IDC_PLAIN_LIST, "Only", 0, withMissing, nullptr, nullptr, 0);
const ControlDescriptor* const bothSetUp[] = {&listSetup, &plainSetup, nullptr};
const ControlDescriptor* const firstSetUp[] = {&listSetup, nullptr};

std::string textOf(HWND list, int row, int sub = 0)
{
    char text[1100] = "";
    LVITEMA item{};
    item.iSubItem = sub;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

int imageOf(HWND list, int row)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

int overlayOf(HWND list, int row)
{
    return static_cast<int>((SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_OVERLAYMASK) & LVIS_OVERLAYMASK) >> 8);
}

int stateImageOf(HWND list, int row)
{
    return static_cast<int>((SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

int rows(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

void setSelected(HWND list, int row, bool on)
{
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = on ? LVIS_SELECTED : 0;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

struct ListFixture : ::testing::Test {
    void SetUp() override
    {
        d = std::make_unique<GridRecorder>(IDD_LIST, bothSetUp);
        ASSERT_TRUE(d->created());
        w = d->wrapper<ListViewWrapper>(IDC_LIST);
        ASSERT_NE(w, nullptr);
        list = GetDlgItem(d->hwnd(), IDC_LIST);
        SetForegroundWindow(d->hwnd());
    }
    std::unique_ptr<GridRecorder> d;
    ListViewWrapper* w = nullptr;
    HWND list = nullptr;
};

using ListView = ListFixture;

}  // namespace

TEST_F(ListView, ColumnsAndImageListsComeFromTheSetup)
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
    const char* captions[] = {"Name", "Size", "Kind"};
    for (int i = 0; i < 3; ++i) {
        char text[32] = "";
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, captions[i]);
        EXPECT_EQ(column.cx, 40);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    EXPECT_EQ(w->iconCount(), 3);
    EXPECT_EQ(w->overlayCount(), 2);
    EXPECT_EQ(w->stateCount(), 1);
    auto large = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    auto small = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    auto state = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_STATE, 0));
    ASSERT_NE(large, nullptr);
    ASSERT_NE(small, nullptr);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(large), 5);  // three icons, then the two overlays
    EXPECT_EQ(ImageList_GetImageCount(small), 5);
    EXPECT_EQ(ImageList_GetImageCount(state), 1);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(large, &cx, &cy);
    EXPECT_EQ(cx, 32);
    EXPECT_EQ(cy, 32);
    ImageList_GetIconSize(small, &cx, &cy);
    EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));
    ImageList_GetIconSize(state, &cx, &cy);
    EXPECT_EQ(cy, 32);

    // An id that does not load keeps its place, so the later icons keep their indexes.
    auto* plain = d->wrapper<ListViewWrapper>(IDC_PLAIN_LIST);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->iconCount(), 3);
    EXPECT_EQ(plain->overlayCount(), 0);
    EXPECT_EQ(plain->stateCount(), 0);
    HWND plainList = GetDlgItem(d->hwnd(), IDC_PLAIN_LIST);
    auto plainLarge = reinterpret_cast<HIMAGELIST>(SendMessageA(plainList, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    ASSERT_NE(plainLarge, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(plainLarge), 3);
    ImageList_GetIconSize(plainLarge, &cx, &cy);
    EXPECT_EQ(cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(SendMessageA(plainList, LVM_GETIMAGELIST, LVSIL_STATE, 0), 0);
}

TEST(ListViewPlain, WithoutSetupNoColumnsNorImages)
{
    GridRecorder d(IDD_LIST, firstSetUp);
    auto* w = d.wrapper<ListViewWrapper>(IDC_PLAIN_LIST);
    ASSERT_NE(w, nullptr);
    HWND list = GetDlgItem(d.hwnd(), IDC_PLAIN_LIST);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(w->iconCount(), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
    // Icon bits without icons give icon 0; the row is still made.
    w->setInt(ListViewWrapper::ApplyIcon | 5, -2);
    ASSERT_EQ(rows(list), 1);
    EXPECT_EQ(imageOf(list, 0), 0);
}

TEST_F(ListView, RowsFromTabSeparatedText)
{
    EXPECT_EQ(w->fillRow("alpha\t12\tfile", -2), 3);
    ASSERT_EQ(rows(list), 1);
    EXPECT_EQ(textOf(list, 0), "alpha");
    EXPECT_EQ(textOf(list, 0, 1), "12");
    EXPECT_EQ(textOf(list, 0, 2), "file");

    EXPECT_EQ(w->fillRow("beta", -2), 1);
    ASSERT_EQ(rows(list), 2);
    EXPECT_EQ(w->fillRow("sixth\tx", 5), 2);
    ASSERT_EQ(rows(list), 6);
    for (int r = 2; r <= 4; ++r) EXPECT_EQ(textOf(list, r), "") << r;
    EXPECT_EQ(textOf(list, 5), "sixth");
    EXPECT_EQ(textOf(list, 5, 1), "x");
    EXPECT_EQ(textOf(list, 1), "beta");

    // -1 is the last row; a plain index replaces the row's text and the fields given.
    EXPECT_EQ(w->fillRow("last\t\tL", -1), 2);  // runs of tabs count as one
    EXPECT_EQ(rows(list), 6);
    EXPECT_EQ(textOf(list, 5), "last");
    EXPECT_EQ(textOf(list, 5, 1), "L");
    d->setText(IDC_LIST, "first again", 0);
    EXPECT_EQ(textOf(list, 0), "first again");
    EXPECT_EQ(textOf(list, 0, 1), "12");
    EXPECT_EQ(w->fillRow("nowhere", -7), 0);
    EXPECT_EQ(rows(list), 6);

    // -1 on an empty list is row 0; an overlong row text is cut at 998 characters.
    w->clear(-1);
    std::string longText(1500, 'r');
    EXPECT_EQ(w->fillRow(longText.c_str(), -1), 1);
    ASSERT_EQ(rows(list), 1);
    EXPECT_EQ(textOf(list, 0).size(), 998u);
}

TEST_F(ListView, PackedFlagsSetIconOverlayAndStateImage)
{
    for (int i = 0; i < 3; ++i) w->fillRow("row", -2);
    w->setInt(ListViewWrapper::ApplyIcon | 7, 0);
    EXPECT_EQ(imageOf(list, 0), 1);  // 7 mod 3

    w->setInt(ListViewWrapper::ApplyOverlay | (1 << 16), 0);
    EXPECT_EQ(overlayOf(list, 0), 1);
    EXPECT_EQ(imageOf(list, 0), 1);  // the icon stays
    w->setInt(ListViewWrapper::ApplyOverlay | (3 << 16), 0);
    EXPECT_EQ(overlayOf(list, 0), 0);  // 3 mod 3: none
    w->setInt(ListViewWrapper::ApplyOverlay | (2 << 16), 0);
    EXPECT_EQ(overlayOf(list, 0), 2);

    w->setInt(ListViewWrapper::ApplyState | (1 << 20), 1);
    EXPECT_EQ(stateImageOf(list, 1), 1);
    w->setInt(ListViewWrapper::ApplyState | (2 << 20), 1);
    EXPECT_EQ(stateImageOf(list, 1), 0);  // 2 mod 2
    // Bits without their apply flag change nothing; the text is never touched.
    w->setInt(5 | (1 << 16) | (1 << 20), 2);
    EXPECT_EQ(imageOf(list, 2), 0);
    EXPECT_EQ(overlayOf(list, 2), 0);
    EXPECT_EQ(stateImageOf(list, 2), 0);
    EXPECT_EQ(textOf(list, 2), "row");

    // All three at once on rows that do not exist yet: each new row gets them.
    d->setInt(IDC_LIST, ListViewWrapper::ApplyIcon | ListViewWrapper::ApplyOverlay | ListViewWrapper::ApplyState | 2 |
                            (1 << 16) | (1 << 20),
              5);
    ASSERT_EQ(rows(list), 6);
    for (int r = 3; r <= 5; ++r) {
        EXPECT_EQ(imageOf(list, r), 2) << r;
        EXPECT_EQ(overlayOf(list, r), 1) << r;
        EXPECT_EQ(stateImageOf(list, r), 1) << r;
        EXPECT_EQ(textOf(list, r), "") << r;
    }
}

TEST_F(ListView, ClearReportsEachSelectedRowBeforeDeleting)
{
    for (int i = 0; i < 6; ++i) w->fillRow(std::to_string(i).c_str(), -2);
    setSelected(list, 1, true);
    setSelected(list, 4, true);
    d->clear();
    d->countRowsOf = list;
    d->window()->findTarget(IDC_LIST)->clear(-1);
    EXPECT_EQ(rows(list), 0);
    ASSERT_EQ(d->reports.size(), 2u);
    EXPECT_EQ(d->reports[0].what, "selection");
    EXPECT_EQ(d->reports[0].id, IDC_LIST);
    EXPECT_EQ(d->reports[0].a, 1);
    EXPECT_EQ(d->reports[0].b, 0);
    EXPECT_EQ(d->reports[0].rowsAtReport, 6);
    EXPECT_EQ(d->reports[1].a, 4);
    EXPECT_EQ(d->reports[1].b, 0);
    EXPECT_EQ(d->reports[1].rowsAtReport, 6);

    // One row: reported once (the control's own report of the deletion is not passed on).
    for (int i = 0; i < 3; ++i) w->fillRow(std::to_string(i).c_str(), -2);
    setSelected(list, 2, true);
    d->clear();
    w->clear(2);
    EXPECT_EQ(rows(list), 2);
    ASSERT_EQ(d->reports.size(), 1u);
    EXPECT_EQ(d->reports[0].a, 2);
    EXPECT_EQ(d->reports[0].b, 0);
    EXPECT_EQ(d->reports[0].rowsAtReport, 3);
    d->clear();
    w->clear(0);  // not selected: nothing to report
    w->clear(7);  // no such row: nothing at all
    EXPECT_EQ(rows(list), 1);
    EXPECT_EQ(textOf(list, 0), "1");
    EXPECT_TRUE(d->reports.empty());
}

TEST_F(ListView, OneReportPerSelectionChange)
{
    for (int i = 0; i < 4; ++i) w->fillRow(std::to_string(i).c_str(), -2);
    d->clear();
    w->select(1);
    EXPECT_EQ(GetFocus(), list);
    ASSERT_EQ(d->count("selection"), 1);
    EXPECT_EQ(d->last("selection")->a, 1);
    EXPECT_EQ(d->last("selection")->b, 1);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);

    d->clear();
    w->select(1);  // already selected
    LVITEMA cut{};
    cut.stateMask = LVIS_CUT;
    cut.state = LVIS_CUT;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&cut));  // other state bits
    EXPECT_EQ(d->count("selection"), 0);

    setSelected(list, 1, false);
    ASSERT_EQ(d->count("selection"), 1);
    EXPECT_EQ(d->last("selection")->b, 0);

    // Every row: each one reported once; the others keep their selection.
    setSelected(list, 2, true);
    d->clear();
    w->select(ListViewWrapper::AllRows);
    EXPECT_EQ(d->count("selection"), 3);
    for (int r = 0; r < 4; ++r) EXPECT_TRUE(SendMessageA(list, LVM_GETITEMSTATE, r, LVIS_SELECTED) & LVIS_SELECTED);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 1, LVIS_CUT) & LVIS_CUT, 0u);  // mask 0xF clears cut
    d->clear();
    w->select(-1);
    w->select(9);
    EXPECT_EQ(d->count("selection"), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 3);

    // A double click is a command.
    NMHDR click{list, static_cast<UINT_PTR>(IDC_LIST), static_cast<UINT>(NM_DBLCLK)};
    SendMessageA(d->hwnd(), WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click));
    ASSERT_EQ(d->count("command"), 1);
    EXPECT_EQ(d->last("command")->id, IDC_LIST);
}

TEST_F(ListView, EnableScrollsTheRowIntoView)
{
    for (int i = 0; i < 60; ++i) w->fillRow(std::to_string(i).c_str(), -2);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
    d->enable(IDC_LIST, true, -1);
    int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    int page = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GT(top, 0);
    EXPECT_GE(top + page, 59);
    EXPECT_TRUE(IsWindowEnabled(list));
    d->enable(IDC_LIST, false, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
    EXPECT_TRUE(IsWindowEnabled(list));
}

namespace {

// Edits row's label: the edit field gets text, then Enter (or Esc with cancel) ends the edit.
bool editLabel(HWND list, int row, const std::string& text, bool cancel = false)
{
    SetFocus(list);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_EDITLABELA, row, 0));
    if (!edit) return false;
    SetWindowTextA(edit, text.c_str());
    SendMessageA(edit, WM_KEYDOWN, cancel ? VK_ESCAPE : VK_RETURN, 0);
    settle(10);
    return true;
}

}  // namespace

TEST_F(ListView, LabelEditIsAcceptedOrRefusedByTheDialog)
{
    w->fillRow("one", -2);
    w->fillRow("two", -2);
    d->clear();
    ASSERT_TRUE(editLabel(list, 0, "uno"));
    ASSERT_EQ(d->count("value"), 1);
    EXPECT_EQ(d->last("value")->id, IDC_LIST);
    EXPECT_EQ(d->last("value")->a, 0);
    EXPECT_EQ(d->last("value")->text, "uno");
    EXPECT_EQ(textOf(list, 0), "uno");

    d->acceptValues = false;
    ASSERT_TRUE(editLabel(list, 1, "dos"));
    ASSERT_EQ(d->count("value"), 2);
    EXPECT_EQ(d->last("value")->a, 1);
    EXPECT_EQ(d->last("value")->text, "dos");
    EXPECT_EQ(textOf(list, 1), "two");

    ASSERT_TRUE(editLabel(list, 1, "cancelled", true));
    EXPECT_EQ(d->count("value"), 2);
    EXPECT_EQ(textOf(list, 1), "two");
}

TEST_F(ListView, LabelLongerThan255IsOfferedAndKeptCut)
{
    w->fillRow("one", -2);
    w->fillRow("two", -2);
    std::string longLabel;
    for (int i = 0; i < 300; ++i) longLabel += static_cast<char>('a' + i % 26);
    d->clear();
    ASSERT_TRUE(editLabel(list, 0, longLabel));
    ASSERT_EQ(d->count("value"), 1);
    EXPECT_EQ(d->last("value")->text, longLabel.substr(0, 255));
    EXPECT_EQ(textOf(list, 0), longLabel.substr(0, 255));

    d->acceptValues = false;
    ASSERT_TRUE(editLabel(list, 1, longLabel));
    EXPECT_EQ(d->count("value"), 2);
    EXPECT_EQ(textOf(list, 1), "two");
}
