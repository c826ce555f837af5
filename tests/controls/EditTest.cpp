#include <gtest/gtest.h>
#include <string>
#include "controls/EditWrapper.h"
#include "framework/EditOptions.h"
#include "tests/controls/ControlsBench.h"
#include "tests/controls/ControlsTestIds.h"

namespace {

const EditOptions liveOptions(IDT_LIVE, EditOptions::CommitOnChange, 0);
const EditOptions plainOptions(IDT_FIELD, 0, 0);
const ControlDescriptor* const editDescriptors[] = {&plainOptions, &liveOptions, nullptr};

std::string lines(int from, int count)
{
    std::string text;
    for (int i = from; i < from + count; ++i) {
        if (i > from) text += "\r\n";
        text += "line " + std::to_string(i);
    }
    return text;
}

int lineCount(HWND edit) { return static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0)); }

std::string lineOf(HWND edit, int n)
{
    char text[256] = {};
    *reinterpret_cast<WORD*>(text) = sizeof text - 1;
    LRESULT got = SendMessageA(edit, EM_GETLINE, n, reinterpret_cast<LPARAM>(text));
    return std::string(text, static_cast<size_t>(got));
}

// The last line is inside the visible area and the first one scrolled away.
void expectScrolledToEnd(HWND edit)
{
    int count = lineCount(edit);
    LRESULT lastStart = SendMessageA(edit, EM_LINEINDEX, count - 1, 0);
    LRESULT pos = SendMessageA(edit, EM_POSFROMCHAR, lastStart, 0);
    RECT client;
    GetClientRect(edit, &client);
    int y = static_cast<short>(HIWORD(pos));
    EXPECT_GE(y, 0);
    EXPECT_LT(y, client.bottom);
    EXPECT_GT(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

void type(HWND edit, const char* text)
{
    for (const char* c = text; *c; ++c) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

}  // namespace

TEST(Edit, AppendKeepsTheLastHundredLinesAndScrollsToTheEnd)
{
    ReportingDialog d(IDD_EDITS, editDescriptors);
    HWND pane = d.item(IDT_PANE);
    ValueTarget* t = d.target(IDT_PANE);
    ASSERT_NE(t, nullptr);
    ASSERT_NE(d.wrapper<EditWrapper>(IDT_PANE), nullptr);

    t->setText(lines(0, 150).c_str(), -1);
    ASSERT_EQ(lineCount(pane), 150);
    t->setText("the new line", -2);
    EXPECT_EQ(lineCount(pane), EditWrapper::MaxLines);
    EXPECT_EQ(lineOf(pane, 0), "line 51");
    EXPECT_EQ(lineOf(pane, 98), "line 149");
    EXPECT_EQ(lineOf(pane, 99), "the new line");
    expectScrolledToEnd(pane);

    // Exactly at the cap: still 100 afterwards, the oldest line gone.
    t->setText("one more", -2);
    EXPECT_EQ(lineCount(pane), 100);
    EXPECT_EQ(lineOf(pane, 0), "line 52");
    EXPECT_EQ(lineOf(pane, 99), "one more");

    t->setText(lines(0, 10).c_str(), -1);
    t->setText("eleventh", -2);
    EXPECT_EQ(lineCount(pane), 11);
    EXPECT_EQ(lineOf(pane, 0), "line 0");
    EXPECT_EQ(lineOf(pane, 10), "eleventh");
    EXPECT_EQ(windowText(pane), lines(0, 10) + "\r\neleventh");
    EXPECT_TRUE(d.reports.empty());  // nothing the program sets is reported back
}

TEST(Edit, NumbersAppendAndOtherItemsOnlyScroll)
{
    ReportingDialog d(IDD_EDITS, editDescriptors);
    HWND pane = d.item(IDT_PANE);
    ValueTarget* t = d.target(IDT_PANE);
    t->setText("first", -1);
    t->setInt(42, -2);
    EXPECT_EQ(windowText(pane), "first\r\n42");

    // A user change makes the edit dirty; item 5 keeps the text but scrolls and clears it.
    std::string many = lines(0, 40);
    SetWindowTextA(pane, many.c_str());
    EXPECT_EQ(SendMessageA(pane, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    type(pane, "x");
    auto* w = d.wrapper<EditWrapper>(IDT_PANE);
    ASSERT_TRUE(w->dirty());
    std::string before = windowText(pane);
    t->setText("ignored", 5);
    EXPECT_EQ(windowText(pane), before);
    EXPECT_FALSE(w->dirty());
    expectScrolledToEnd(pane);

    // clear: a negative item empties, another item leaves the text.
    t->clear(3);
    EXPECT_EQ(windowText(pane), before);
    t->clear(-1);
    EXPECT_EQ(windowText(pane), "");
    EXPECT_TRUE(d.reports.empty());
}

TEST(Edit, TypingCommitsOnceWhenTheFocusLeavesWithTheCaretIndex)
{
    ReportingDialog d(IDD_EDITS, editDescriptors);
    HWND field = d.item(IDT_FIELD);
    auto* w = d.wrapper<EditWrapper>(IDT_FIELD);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->commitOnChange());
    SetFocus(field);
    type(field, "COM12");
    pumpDialogs(20);
    EXPECT_TRUE(d.of("value").empty());
    EXPECT_TRUE(w->dirty());

    // Caret after "CO": the character index reported is 2.
    SendMessageA(field, EM_SETSEL, 2, 2);
    SetFocus(d.item(IDT_OTHER));
    pumpDialogs(20);
    auto values = d.of("value");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].id, IDT_FIELD);
    EXPECT_EQ(values[0].text, "COM12");
    EXPECT_EQ(values[0].a, 2);
    EXPECT_FALSE(w->dirty());

    // Accepted: going in and out again reports nothing.
    SetFocus(field);
    SetFocus(d.item(IDT_OTHER));
    pumpDialogs(20);
    EXPECT_EQ(d.of("value").size(), 1u);
}

TEST(Edit, ARefusedCommitIsOfferedAgainAtTheNextLossOfFocus)
{
    ReportingDialog d(IDD_EDITS, editDescriptors);
    HWND field = d.item(IDT_FIELD);
    auto* w = d.wrapper<EditWrapper>(IDT_FIELD);
    d.acceptValues = false;
    SetFocus(field);
    type(field, "abc");
    SetFocus(d.item(IDT_OTHER));
    ASSERT_EQ(d.of("value").size(), 1u);
    EXPECT_TRUE(w->dirty());
    SetFocus(field);
    d.acceptValues = true;
    SetFocus(d.item(IDT_OTHER));
    auto values = d.of("value");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[1].text, "abc");
    EXPECT_FALSE(w->dirty());
    SetFocus(field);
    SetFocus(d.item(IDT_OTHER));
    EXPECT_EQ(d.of("value").size(), 2u);
}

TEST(Edit, EnterCommitsTheFocusedField)
{
    ReportingDialog d(IDD_EDITS, editDescriptors);
    HWND field = d.item(IDT_FIELD);
    SetFocus(field);
    pumpDialogs(20);
    type(field, "9600");
    SendMessageA(field, EM_SETSEL, 4, 4);
    // The key goes through the dialog manager, as the message loop hands it over.
    PostMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(field, WM_KEYUP, VK_RETURN, 0xC0000001);
    pumpDialogs(50);
    auto values = d.of("value");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].id, IDT_FIELD);
    EXPECT_EQ(values[0].text, "9600");
    EXPECT_EQ(values[0].a, 4);
    EXPECT_EQ(GetFocus(), field);  // Enter commits without leaving the field
    // Nothing changed since: Enter again and leaving report nothing more.
    PostMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
    pumpDialogs(50);
    SetFocus(d.item(IDT_OTHER));
    EXPECT_EQ(d.of("value").size(), 1u);
}

TEST(Edit, CommitOnChangeReportsEveryUserChangeButNotTheProgramsTexts)
{
    ReportingDialog d(IDD_EDITS, editDescriptors);
    HWND live = d.item(IDT_LIVE);
    auto* w = d.wrapper<EditWrapper>(IDT_LIVE);
    ASSERT_TRUE(w->commitOnChange());
    SetFocus(live);
    type(live, "12");
    auto values = d.of("value", IDT_LIVE);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].text, "1");
    EXPECT_EQ(values[1].text, "12");
    EXPECT_EQ(values[1].a, 2);
    d.forget();
    d.target(IDT_LIVE)->setText("100", -1);
    d.target(IDT_LIVE)->clear(-1);
    EXPECT_TRUE(d.reports.empty());

    // Refused at the change: offered again when the focus leaves.
    d.acceptValues = false;
    type(live, "7");
    EXPECT_TRUE(w->dirty());
    d.acceptValues = true;
    SetFocus(d.item(IDT_OTHER));
    values = d.of("value", IDT_LIVE);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[1].text, "7");
    EXPECT_FALSE(w->dirty());
}

TEST(Edit, ALongTextIsReportedCutTo255Characters)
{
    ReportingDialog d(IDD_EDITS, editDescriptors);
    HWND field = d.item(IDT_FIELD);
    SendMessageA(field, EM_SETLIMITTEXT, 0, 0);
    std::string longText(3000, 'k');
    longText[254] = 'e';
    SetFocus(field);
    SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(longText.c_str()));
    SetFocus(d.item(IDT_OTHER));
    auto values = d.of("value", IDT_FIELD);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].text.size(), 255u);
    EXPECT_EQ(values[0].text.back(), 'e');
}
