// Toolbars built from a descriptor: images, buttons, click reports and set states, on a real dialog.
#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include "controls/ToolbarButton.h"
#include "controls/ToolbarSetup.h"
#include "controls/ToolbarWrapper.h"
#include "framework/DialogWindow.h"
#include "framework/ValueTarget.h"
#include "tests/range/RangeIds.h"
#include "tests/range/RangeRecorder.h"

namespace {

const ToolbarButton stripButtons[] = {
    {ToolbarButton::Push, 0, 40001},
    {ToolbarButton::Push, 1, ToolbarButton::OwnId},
    {ToolbarButton::Check, 2, 0},
    {ToolbarButton::RadioGroup, 3, 0},
    {ToolbarButton::RadioGroup, 4, 0},
    {ToolbarButton::RadioGroup, 9, 0},
    {ToolbarButton::End, 0, 0},
    {ToolbarButton::Push, 5, 40002},  // after the end: never added
};
const ToolbarButton standardButtons[] = {
    {ToolbarButton::Push, STD_FILENEW, 40003},
    {ToolbarButton::Push, STD_FILEOPEN, 40004},
    {ToolbarButton::End, 0, 0},
};
const ToolbarButton radioButtons[] = {
    {ToolbarButton::RadioGroup, 0, 0},
    {ToolbarButton::RadioGroup, 1, 0},
    {ToolbarButton::End, 0, 0},
};
const ToolbarSetup strip(IDC_TOOLBAR, IDB_STRIP, 10, stripButtons, 0);
const ToolbarSetup standard(IDC_STD_TOOLBAR, 0, 0, standardButtons, 0);
const ToolbarSetup radios(IDC_RADIO_TOOLBAR, IDB_STRIP, 10, radioButtons, 0);
const ControlDescriptor* const toolList[] = {&strip, &standard, &radios, nullptr};

struct Sel {
    int id, position, code;
    bool operator==(const Sel& o) const { return id == o.id && position == o.position && code == o.code; }
};
std::ostream& operator<<(std::ostream& out, const Sel& s)
{
    return out << "(" << s.id << ", " << s.position << ", " << s.code << ")";
}

class Toolbars : public RecordingTest {
protected:
    void SetUp() override
    {
        open(IDD_TOOLS, toolList);
    }
    // A click on button index of a toolbar, as the mouse gives it.
    void click(int toolbar, int index)
    {
        HWND h = dialog->item(toolbar);
        RECT r{};
        ASSERT_TRUE(SendMessageA(h, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
        POINT at = centre(r);
        clickAt(h, at.x, at.y);
    }
    bool checked(int toolbar, int index)
    {
        return SendMessageA(dialog->item(toolbar), TB_ISBUTTONCHECKED, static_cast<WPARAM>(toolbar + index), 0) != 0;
    }
    // The selection reports since the last call.
    std::vector<Sel> take()
    {
        std::vector<Sel> out;
        for (const Report& r : dialog->reports) {
            if (r.what == "selection") out.push_back(Sel{r.id, r.a, r.b});
        }
        dialog->reports.clear();
        return out;
    }
};

using Sels = std::vector<Sel>;

}  // namespace

TEST_F(Toolbars, StripIsSplitIntoItsImagesAndButtonsGetTheirStylesAndIds)
{
    auto* w = dialog->as<ToolbarWrapper>(IDC_TOOLBAR);
    ASSERT_NE(w, nullptr);
    HWND h = dialog->item(IDC_TOOLBAR);
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessageA(h, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list, w->images());
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    EXPECT_EQ(ImageList_GetImageCount(list), 10);

    ASSERT_EQ(w->buttonCount(), 6);
    ASSERT_EQ(SendMessageA(h, TB_BUTTONCOUNT, 0, 0), 6);
    const BYTE styles[] = {TBSTYLE_BUTTON, TBSTYLE_BUTTON, TBSTYLE_CHECK, TBSTYLE_CHECKGROUP, TBSTYLE_CHECKGROUP,
                           TBSTYLE_CHECKGROUP};
    for (int i = 0; i < 6; ++i) {
        TBBUTTON b{};
        ASSERT_TRUE(SendMessageA(h, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b)));
        EXPECT_EQ(b.idCommand, IDC_TOOLBAR + i) << i;
        EXPECT_EQ(b.iBitmap, stripButtons[i].imageIndex) << i;
        EXPECT_EQ(b.fsStyle & 0x0F, styles[i]) << i;
        EXPECT_TRUE(b.fsState & TBSTATE_ENABLED) << i;
        EXPECT_FALSE(b.fsState & TBSTATE_CHECKED) << i;
    }
    EXPECT_EQ(w->activeRadio(), -1);
}

TEST_F(Toolbars, StandardImagesWithoutABitmapAndNothingWithoutADescriptor)
{
    auto* w = dialog->as<ToolbarWrapper>(IDC_STD_TOOLBAR);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->images(), nullptr);
    HWND h = dialog->item(IDC_STD_TOOLBAR);
    ASSERT_EQ(SendMessageA(h, TB_BUTTONCOUNT, 0, 0), 2);
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessageA(h, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 15);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 24);  // the large set
    click(IDC_STD_TOOLBAR, 1);
    ASSERT_EQ(dialog->reports.size(), 1u);
    EXPECT_EQ(dialog->reports[0].what, "command");
    EXPECT_EQ(dialog->reports[0].id, 40004);

    auto* bare = dialog->as<ToolbarWrapper>(IDC_BARE_TOOLBAR);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(SendMessageA(dialog->item(IDC_BARE_TOOLBAR), TB_BUTTONCOUNT, 0, 0), 0);
    EXPECT_EQ(bare->buttonCount(), 0);
    bare->setInt(1, 0);
    SendMessageA(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BARE_TOOLBAR, 0),
                 reinterpret_cast<LPARAM>(dialog->item(IDC_BARE_TOOLBAR)));
    EXPECT_EQ(dialog->reports.size(), 1u);
}

TEST_F(Toolbars, PushButtonsReportTheirTargetOrTheToolbarsId)
{
    click(IDC_TOOLBAR, 0);
    click(IDC_TOOLBAR, 1);
    ASSERT_EQ(dialog->reports.size(), 2u);
    EXPECT_EQ(dialog->reports[0].what, "command");
    EXPECT_EQ(dialog->reports[0].id, 40001);
    EXPECT_EQ(dialog->reports[1].what, "command");
    EXPECT_EQ(dialog->reports[1].id, IDC_TOOLBAR);

    // Command ids of no button, and other codes, do nothing.
    HWND h = dialog->item(IDC_TOOLBAR);
    for (int id : {IDC_TOOLBAR + 6, IDC_TOOLBAR + 7, IDC_TOOLBAR - 1})
        SendMessageA(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(h));
    SendMessageA(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TOOLBAR, 1), reinterpret_cast<LPARAM>(h));
    EXPECT_EQ(dialog->reports.size(), 2u);
    // Push buttons have no state to set.
    dialog->setInt(IDC_TOOLBAR, 1, 0);
    EXPECT_EQ(dialog->reports.size(), 2u);
}

TEST_F(Toolbars, CheckAndRadioClicksReportTheirStates)
{
    click(IDC_TOOLBAR, 2);
    EXPECT_TRUE(checked(IDC_TOOLBAR, 2));
    EXPECT_EQ(take(), (Sels{{IDC_TOOLBAR, 2, 1}}));
    click(IDC_TOOLBAR, 2);
    EXPECT_FALSE(checked(IDC_TOOLBAR, 2));
    EXPECT_EQ(take(), (Sels{{IDC_TOOLBAR, 2, 0}}));

    click(IDC_TOOLBAR, 3);
    EXPECT_EQ(take(), (Sels{{IDC_TOOLBAR, 3, 1}}));
    click(IDC_TOOLBAR, 5);
    EXPECT_EQ(take(), (Sels{{IDC_TOOLBAR, 3, 0}, {IDC_TOOLBAR, 5, 1}}));
    EXPECT_TRUE(checked(IDC_TOOLBAR, 5));
    EXPECT_FALSE(checked(IDC_TOOLBAR, 3));
    // The checked one again: deselected and selected again.
    click(IDC_TOOLBAR, 5);
    EXPECT_EQ(take(), (Sels{{IDC_TOOLBAR, 5, 0}, {IDC_TOOLBAR, 5, 1}}));
    EXPECT_EQ(dialog->as<ToolbarWrapper>(IDC_TOOLBAR)->activeRadio(), 5);
}

TEST_F(Toolbars, RadioSequenceBySetInt)
{
    const int id = IDC_RADIO_TOOLBAR;
    ValueTarget* t = dialog->window()->findTarget(id);
    ASSERT_NE(t, nullptr);
    t->setInt(1, 0);
    EXPECT_EQ(take(), (Sels{{id, 0, 1}}));
    EXPECT_TRUE(checked(id, 0));

    t->setInt(1, 1);
    EXPECT_EQ(take(), (Sels{{id, 0, 0}, {id, 1, 1}}));
    EXPECT_FALSE(checked(id, 0));
    EXPECT_TRUE(checked(id, 1));

    t->setInt(0, 1);
    EXPECT_EQ(take(), (Sels{{id, 1, 0}}));
    EXPECT_FALSE(checked(id, 1));
    EXPECT_EQ(dialog->as<ToolbarWrapper>(id)->activeRadio(), -1);

    t->setInt(1, 1);
    EXPECT_EQ(take(), (Sels{{id, 1, 1}}));
    EXPECT_TRUE(checked(id, 1));

    // Already active, or unchecking one that is not active, or out of range: nothing.
    t->setInt(1, 1);
    t->setInt(0, 0);
    t->setInt(1, 2);
    t->setInt(1, -1);
    EXPECT_EQ(take(), Sels{});
    EXPECT_TRUE(checked(id, 1));
}

TEST_F(Toolbars, CheckButtonBySetIntReportsOnlyChanges)
{
    const int id = IDC_TOOLBAR;
    dialog->setInt(id, 1, 2);
    EXPECT_EQ(take(), (Sels{{id, 2, 1}}));
    EXPECT_TRUE(checked(id, 2));
    dialog->setInt(id, 1, 2);
    EXPECT_EQ(take(), Sels{});
    dialog->setInt(id, 0, 2);
    EXPECT_EQ(take(), (Sels{{id, 2, 0}}));
    EXPECT_FALSE(checked(id, 2));
    dialog->setInt(id, 0, 2);
    EXPECT_EQ(take(), Sels{});
    // A value whose low word is zero still means checked.
    dialog->setInt(id, 0x10000, 2);
    EXPECT_TRUE(checked(id, 2));
    EXPECT_EQ(take(), (Sels{{id, 2, 0x10000}}));
}
