#include <gtest/gtest.h>
#include <string>
#include "controls/ComboBoxWrapper.h"
#include "controls/ListBoxWrapper.h"
#include "framework/KeyHandler.h"
#include "framework/ListItems.h"
#include "tests/controls/ControlsBench.h"
#include "tests/controls/ControlsTestIds.h"

namespace {

const char* const greek[] = {"alpha", "beta", "gamma", "delta", nullptr};
const char* const ports[] = {"COM1", "COM2", "COM3", "COM4", nullptr};
const char* const parities[] = {"None", "Odd", "Even", "Mark", "Space", nullptr};

const ListItems listItems(ListItems::ListBoxKind, IDT_LIST, greek, 0);
const ListItems comboKindOnList(IDT_LIST2, greek, 0);  // kind 10: not a list box's
const ListItems portItems(IDT_COMBO, ports, 0);
const ListItems parityItems(IDT_DROPLIST, parities, 0);
const ListItems listKindOnCombo(ListItems::ListBoxKind, IDT_COMBO2, ports, 0);
const ControlDescriptor* const listDescriptors[] = {&listItems, &comboKindOnList, &portItems, &parityItems,
                                                    &listKindOnCombo, nullptr};

int count(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }
int cursel(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }
int comboCount(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0)); }
int comboSel(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

std::string entry(HWND list, int i)
{
    char text[512] = "";
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string comboEntry(HWND combo, int i)
{
    char text[512] = "";
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    return text;
}

// Selection reports as (position, code) pairs.
std::vector<std::pair<int, int>> selections(const ReportingDialog& d, int id)
{
    std::vector<std::pair<int, int>> out;
    for (const Report& r : d.of("selection", id)) out.emplace_back(r.a, r.b);
    return out;
}

using Pairs = std::vector<std::pair<int, int>>;

void clickEntry(HWND list, int index, bool twice = false)
{
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM(r.left + 2, (r.top + r.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    }
}

class RecordingKeys : public KeyHandler {
public:
    RecordingKeys(int id, int& released, std::vector<std::pair<int, int>>& keys)
        : KeyHandler(id), released_(released), keys_(keys)
    {
    }
    bool onKey(int key, int id) override
    {
        keys_.emplace_back(key, id);
        return false;
    }
    void release() override
    {
        ++released_;
        KeyHandler::release();
    }

private:
    int& released_;
    std::vector<std::pair<int, int>>& keys_;
};

// Holds Shift down in this thread's keyboard state while it lives.
class ShiftHeld {
public:
    ShiftHeld()
    {
        GetKeyboardState(saved_);
        BYTE state[256];
        std::copy(saved_, saved_ + 256, state);
        state[VK_SHIFT] = 0x80;
        state[VK_LSHIFT] = 0x80;
        SetKeyboardState(state);
    }
    ~ShiftHeld() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

}  // namespace

TEST(ListBox, FilledFromItsDescriptorWithNothingSelected)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND list = d.item(IDT_LIST);
    auto* w = d.wrapper<ListBoxWrapper>(IDT_LIST);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->itemCount(), 4);
    ASSERT_EQ(count(list), 4);
    EXPECT_EQ(entry(list, 0), "alpha");
    EXPECT_EQ(entry(list, 3), "delta");
    EXPECT_EQ(cursel(list), LB_ERR);
    // A combo box's list descriptor means nothing to a list box.
    EXPECT_EQ(count(d.item(IDT_LIST2)), 0);
    EXPECT_EQ(d.wrapper<ListBoxWrapper>(IDT_LIST2)->itemCount(), 0);
}

TEST(ListBox, SetTextInsertsOrAppendsAndReportsAMovedSelection)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND list = d.item(IDT_LIST);
    ValueTarget* t = d.target(IDT_LIST);
    t->setText("epsilon", -1);
    t->setText("zeta", -2);
    t->setText("eta", 99);
    t->setText("theta", -7);  // any other negative item appends too
    t->setText("first", 0);
    t->setText("second", 1);
    ASSERT_EQ(count(list), 10);
    EXPECT_EQ(entry(list, 0), "first");
    EXPECT_EQ(entry(list, 1), "second");
    EXPECT_EQ(entry(list, 2), "alpha");
    EXPECT_EQ(entry(list, 6), "epsilon");
    EXPECT_EQ(entry(list, 9), "theta");
    EXPECT_TRUE(d.reports.empty());

    // Inserting before the selection moves it: old one off, new one on.
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    t->setText("inserted", 1);
    EXPECT_EQ(cursel(list), 3);
    EXPECT_EQ(selections(d, IDT_LIST), (Pairs{{2, 0}, {3, 1}}));
    d.forget();
    t->setText("appended", -2);
    t->setText("after", 5);
    EXPECT_EQ(cursel(list), 3);
    EXPECT_TRUE(d.reports.empty());
    EXPECT_EQ(d.wrapper<ListBoxWrapper>(IDT_LIST)->itemCount(), 13);
}

TEST(ListBox, ClearReportsTheLostSelectionFirst)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND list = d.item(IDT_LIST);
    ValueTarget* t = d.target(IDT_LIST);

    // An entry after the selection: removed without a deselection; the selection left is reported.
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    t->clear(3);
    EXPECT_EQ(count(list), 3);
    EXPECT_EQ(entry(list, 2), "gamma");
    EXPECT_EQ(selections(d, IDT_LIST), (Pairs{{1, 1}}));

    // The selected entry itself: reported off first.
    d.forget();
    t->clear(1);
    EXPECT_EQ(count(list), 2);
    EXPECT_EQ(entry(list, 1), "gamma");
    Pairs seen = selections(d, IDT_LIST);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0], std::make_pair(1, 0));
    if (cursel(list) == LB_ERR)
        EXPECT_EQ(seen.size(), 1u);
    else
        EXPECT_EQ(seen.back(), std::make_pair(cursel(list), 1));

    // Out of range: everything goes, the old selection reported with state 0 first.
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    d.forget();
    t->clear(-1);
    EXPECT_EQ(count(list), 0);
    EXPECT_EQ(selections(d, IDT_LIST), (Pairs{{1, 0}}));
    EXPECT_EQ(d.wrapper<ListBoxWrapper>(IDT_LIST)->itemCount(), 0);

    // Without a selection nothing is reported.
    t->setText("one", -1);
    d.forget();
    t->clear(7);
    EXPECT_EQ(count(list), 0);
    EXPECT_TRUE(d.reports.empty());
}

TEST(ListBox, SelectFocusesTheListAndReportsOffThenOn)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND list = d.item(IDT_LIST);
    ValueTarget* t = d.target(IDT_LIST);
    SetFocus(d.item(IDT_COMBO));
    t->select(2);
    EXPECT_EQ(cursel(list), 2);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(selections(d, IDT_LIST), (Pairs{{2, 1}}));
    d.forget();
    t->setInt(1, -1);
    EXPECT_EQ(cursel(list), 1);
    EXPECT_EQ(selections(d, IDT_LIST), (Pairs{{2, 0}, {1, 1}}));
    d.forget();
    t->select(4);  // one past the end: the selection is cleared, only the loss reported
    EXPECT_EQ(cursel(list), LB_ERR);
    EXPECT_EQ(selections(d, IDT_LIST), (Pairs{{1, 0}}));
    d.forget();
    t->select(-1);
    EXPECT_TRUE(d.reports.empty());
    EXPECT_TRUE(d.of("value").empty());
}

TEST(ListBox, TheUsersChoiceIsReportedWithItsText)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND list = d.item(IDT_LIST);
    clickEntry(list, 2);
    ASSERT_EQ(cursel(list), 2);
    ASSERT_EQ(d.reports.size(), 2u);
    EXPECT_EQ(d.reports[0].what, "selection");
    EXPECT_EQ(d.reports[0].a, 2);
    EXPECT_EQ(d.reports[0].b, 1);
    EXPECT_EQ(d.reports[1].what, "value");
    EXPECT_EQ(d.reports[1].id, IDT_LIST);
    EXPECT_EQ(d.reports[1].text, "gamma");
    EXPECT_EQ(d.reports[1].a, 2);
    d.forget();
    clickEntry(list, 0);
    // The entry that lost the selection is not reported.
    EXPECT_EQ(selections(d, IDT_LIST), (Pairs{{0, 1}}));
    d.forget();
    clickEntry(list, 1, true);
    EXPECT_EQ(d.of("command", IDT_LIST).size(), 1u);
}

TEST(ListBox, LongEntriesAreReportedCutTo255Characters)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND list = d.item(IDT_LIST2);
    std::string three(300, 'a');
    for (size_t i = 0; i < three.size(); ++i) three[i] = static_cast<char>('a' + i % 26);
    std::string huge(6000, 'z');
    d.target(IDT_LIST2)->setText("short", -1);
    d.target(IDT_LIST2)->setText(three.c_str(), -1);
    d.target(IDT_LIST2)->setText(huge.c_str(), -1);
    std::string exact(255, 'e');
    d.target(IDT_LIST2)->setText(exact.c_str(), -1);
    clickEntry(list, 1);
    clickEntry(list, 2);
    clickEntry(list, 3);
    clickEntry(list, 0);
    auto values = d.of("value", IDT_LIST2);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0].text, three.substr(0, 255));
    EXPECT_EQ(values[1].text, huge.substr(0, 255));
    EXPECT_EQ(values[2].text, exact);
    EXPECT_EQ(values[3].text, "short");
}

TEST(ComboBox, StartsOnTheFirstEntryWithoutAReport)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND combo = d.item(IDT_COMBO);
    auto* w = d.wrapper<ComboBoxWrapper>(IDT_COMBO);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->itemCount(), 4);
    EXPECT_EQ(comboSel(combo), 0);
    EXPECT_EQ(windowText(combo), "COM1");
    EXPECT_EQ(comboSel(d.item(IDT_DROPLIST)), 0);
    EXPECT_EQ(comboEntry(d.item(IDT_DROPLIST), 4), "Space");
    // A list box's descriptor means nothing to a combo box.
    EXPECT_EQ(comboCount(d.item(IDT_COMBO2)), 0);
    EXPECT_EQ(comboSel(d.item(IDT_COMBO2)), CB_ERR);

    // Binding again while the dialog listens: the first selection is still not reported.
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    w = rebind<ComboBoxWrapper>(d, IDT_COMBO, &portItems);
    pumpDialogs(20);
    EXPECT_EQ(comboSel(combo), 0);
    EXPECT_EQ(w->itemCount(), 4);
    EXPECT_TRUE(d.reports.empty());
}

TEST(ComboBox, SetTextFindsAppendsOrInsertsSilently)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND combo = d.item(IDT_COMBO);
    ValueTarget* t = d.target(IDT_COMBO);
    t->setText("COM3", -1);
    EXPECT_EQ(comboSel(combo), 2);
    EXPECT_EQ(windowText(combo), "COM3");
    t->setText("COM12", -1);  // no such entry: nothing selected, the field empty
    EXPECT_EQ(comboSel(combo), CB_ERR);
    EXPECT_EQ(windowText(combo), "");
    EXPECT_EQ(comboCount(combo), 4);

    t->setText("COM5", -2);
    t->setText("COM0", 0);
    t->setText("COM9", 99);
    t->setText("ignored", -5);
    ASSERT_EQ(comboCount(combo), 7);
    EXPECT_EQ(comboEntry(combo, 0), "COM0");
    EXPECT_EQ(comboEntry(combo, 5), "COM5");
    EXPECT_EQ(comboEntry(combo, 6), "COM9");
    EXPECT_EQ(d.wrapper<ComboBoxWrapper>(IDT_COMBO)->itemCount(), 7);
    pumpDialogs(20);
    EXPECT_TRUE(d.reports.empty());
}

TEST(ComboBox, ClearAndSelectStayInRange)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND combo = d.item(IDT_DROPLIST);
    ValueTarget* t = d.target(IDT_DROPLIST);
    t->clear(1);
    ASSERT_EQ(comboCount(combo), 4);
    EXPECT_EQ(comboEntry(combo, 1), "Even");
    t->select(3);
    EXPECT_EQ(comboSel(combo), 3);
    t->select(4);
    t->select(-1);
    EXPECT_EQ(comboSel(combo), 3);
    t->setInt(2, -1);
    EXPECT_EQ(comboSel(combo), 2);
    t->clear(4);  // out of range: everything goes
    EXPECT_EQ(comboCount(combo), 0);
    EXPECT_EQ(d.wrapper<ComboBoxWrapper>(IDT_DROPLIST)->itemCount(), 0);
    pumpDialogs(20);
    EXPECT_TRUE(d.reports.empty());
}

TEST(ComboBox, TheUsersChoiceAndTypingAreReported)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND drop = d.item(IDT_DROPLIST);
    SetFocus(drop);
    SendMessageA(drop, WM_KEYDOWN, VK_DOWN, 1);
    ASSERT_EQ(comboSel(drop), 1);
    ASSERT_EQ(d.reports.size(), 2u);
    EXPECT_EQ(d.reports[0].what, "selection");
    EXPECT_EQ(d.reports[0].id, IDT_DROPLIST);
    EXPECT_EQ(d.reports[0].a, 1);
    EXPECT_EQ(d.reports[0].b, 1);
    EXPECT_EQ(d.reports[1].what, "value");
    EXPECT_EQ(d.reports[1].text, "Odd");
    EXPECT_EQ(d.reports[1].a, 1);

    // A long entry is cut to 255 characters.
    std::string longEntry(300, 'L');
    longEntry[254] = '!';
    d.target(IDT_DROPLIST)->setText(longEntry.c_str(), -2);
    d.forget();
    SendMessageA(drop, WM_KEYDOWN, VK_END, 1);
    auto values = d.of("value", IDT_DROPLIST);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].a, 5);
    EXPECT_EQ(values[0].text, longEntry.substr(0, 255));

    // Typing into the edit field reports the field's text with item -1.
    HWND edit = d.wrapper<ComboBoxWrapper>(IDT_COMBO)->innerEdit()->window();
    SetFocus(edit);
    d.forget();
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (char c : std::string("COM12")) SendMessageA(edit, WM_CHAR, c, 1);
    values = d.of("value", IDT_COMBO);
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[4].text, "COM12");
    EXPECT_EQ(values[4].a, -1);
    std::string longText(400, 'T');
    d.forget();
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(longText.c_str()));
    values = d.of("value", IDT_COMBO);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].text, longText.substr(0, 255));
}

TEST(ComboBox, TheEditFieldReportsFocusUnderTheComboBoxId)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    d.recordFocus = true;
    auto* w = d.wrapper<ComboBoxWrapper>(IDT_COMBO);
    ASSERT_NE(w->innerEdit(), nullptr);
    EXPECT_EQ(d.wrapper<ComboBoxWrapper>(IDT_DROPLIST)->innerEdit(), nullptr);
    HWND edit = w->innerEdit()->window();
    EXPECT_EQ(GetParent(edit), d.item(IDT_COMBO));

    SetFocus(d.item(IDT_LIST));
    d.forget();
    w->activate();
    EXPECT_EQ(GetFocus(), edit);
    SetFocus(d.item(IDT_LIST));
    auto focus = d.of("focus", IDT_COMBO);
    ASSERT_EQ(focus.size(), 2u);  // once in, once out: the combo box itself stays silent
    EXPECT_EQ(focus[0].a, 1);
    EXPECT_EQ(focus[1].a, 0);

    // The high id part reaches the edit field too.
    w->setIdHigh(3);
    const int full = IDT_COMBO | (3 << 16);
    EXPECT_EQ(w->id(), full);
    EXPECT_EQ(w->innerEdit()->id(), full);
    EXPECT_EQ(d.target(full), static_cast<ValueTarget*>(w));
    d.forget();
    SetFocus(edit);
    auto seen = d.of("focus", full);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].a, 1);
    EXPECT_TRUE(d.of("focus", IDT_COMBO).empty());

    // A drop-down list without an edit field reports its own focus.
    d.forget();
    d.wrapper<ComboBoxWrapper>(IDT_DROPLIST)->activate();
    EXPECT_EQ(GetFocus(), d.item(IDT_DROPLIST));
    ASSERT_EQ(d.of("focus", IDT_DROPLIST).size(), 1u);
}

TEST(ComboBox, TheKeyHandlerServesTheEditFieldAndIsReleasedOnce)
{
    int released1 = 0, released2 = 0;
    std::vector<std::pair<int, int>> keys;
    {
        ReportingDialog d(IDD_LISTS, listDescriptors);
        auto* w = d.wrapper<ComboBoxWrapper>(IDT_COMBO);
        HWND edit = w->innerEdit()->window();
        auto* first = new RecordingKeys(IDT_COMBO, released1, keys);
        w->setKeyHandler(first);
        EXPECT_EQ(w->getKeyHandler(), first);
        SendMessageA(edit, WM_KEYDOWN, 'A', 1);
        ASSERT_EQ(keys.size(), 1u);
        EXPECT_EQ(keys[0], std::make_pair(int('A'), IDT_COMBO));

        w->setKeyHandler(new RecordingKeys(IDT_COMBO, released2, keys));
        EXPECT_EQ(released1, 1);
        SendMessageA(edit, WM_KEYDOWN, 'B', 1);
        ASSERT_EQ(keys.size(), 2u);
        EXPECT_EQ(keys[1].first, 'B');
    }
    EXPECT_EQ(released1, 1);
    EXPECT_EQ(released2, 1);
}

TEST(ComboBox, KeysReachTheKeyHandlerOnlyWithShift)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND drop = d.item(IDT_DROPLIST);
    int released = 0;
    std::vector<std::pair<int, int>> keys;
    d.wrapper<ComboBoxWrapper>(IDT_DROPLIST)->setKeyHandler(new RecordingKeys(IDT_DROPLIST, released, keys));
    SetFocus(drop);
    SendMessageA(drop, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(comboSel(drop), 1);  // the combo box had the key
    {
        ShiftHeld shift;
        ASSERT_LT(GetKeyState(VK_SHIFT), 0);
        SendMessageA(drop, WM_KEYDOWN, VK_DOWN, 1);
    }
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], std::make_pair(int(VK_DOWN), IDT_DROPLIST));
    EXPECT_EQ(comboSel(drop), 1);  // consumed: the selection stayed
}

TEST(ComboBox, StyleAndRectangleDescribeTheDroppedList)
{
    ReportingDialog d(IDD_LISTS, listDescriptors);
    HWND combo = d.item(IDT_COMBO2);
    auto* w = d.wrapper<ComboBoxWrapper>(IDT_COMBO2);
    EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_NE(w->getStyle() & WS_VSCROLL, 0);
    EXPECT_EQ(w->getStyle() & ~WS_VSCROLL, GetWindowLongA(combo, GWL_STYLE) & ~WS_VSCROLL);
    RECT dropped{}, expected{}, window{};
    w->getRect(dropped);
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&expected));
    GetWindowRect(combo, &window);
    EXPECT_TRUE(EqualRect(&dropped, &expected));
    EXPECT_GT(dropped.bottom - dropped.top, window.bottom - window.top);
}
