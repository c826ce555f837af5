#include <gtest/gtest.h>
#include <algorithm>
#include <thread>
#include <vector>
#include "framework/Application.h"
#include "framework/ControlWrapper.h"
#include "framework/DialogWindow.h"
#include "framework/MenuTarget.h"
#include "support/Bench.h"
#include "tests/framework/Recorder.h"
#include "tests/framework/TestIds.h"

namespace {

void pressKey(HWND target, WPARAM key)
{
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

TEST(Routing, MenuItemsAndAcceleratorsReachCommandIssued)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    ASSERT_TRUE(d.created());
    SendMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDM_FIRST, 0), 0);  // as a menu click sends it
    ASSERT_EQ(log.count("command"), 1);
    EXPECT_EQ(log.last("command")->id, IDM_FIRST);

    // F5 is in the test program's (first) accelerator table.
    SetFocus(GetDlgItem(d.hwnd(), IDC_EDIT));
    pressKey(GetDlgItem(d.hwnd(), IDC_EDIT), VK_F5);
    pumpDialogs(100);
    ASSERT_EQ(log.count("command"), 2);
    EXPECT_EQ(log.last("command")->id, IDM_SECOND);
    EXPECT_EQ(log.count("closing"), 0);
}

TEST(Routing, CommandWithoutControlIsDroppedWithoutMenu)
{
    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    SendMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDM_FIRST, 0), 0);
    EXPECT_EQ(log.count("command"), 0);
}

TEST(Routing, EscapeWithoutCancelControlIssuesCancelAndLeavesClosingToTheMenuDialog)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    d.closeOnCommand = true;  // this dialog closes itself on any command
    pumpDialogs(50);
    SetFocus(GetDlgItem(d.hwnd(), IDC_EDIT));
    pressKey(GetDlgItem(d.hwnd(), IDC_EDIT), VK_ESCAPE);
    bool on = true;
    EXPECT_EQ(Application::get().runLoop(&on), Application::LoopEnd::RegistryEmpty);
    ASSERT_EQ(log.count("command"), 1);
    EXPECT_EQ(log.last("command")->id, IDCANCEL);
    EXPECT_EQ(log.count("closing"), 1);  // its own close only
    EXPECT_FALSE(d.window()->running());
    EXPECT_TRUE(IsWindow(d.hwnd()));  // closed, but on screen until deleted

    // Without a menu nothing hears the command: the close box closes the dialog itself.
    RecordingDialog bare(log, IDD_BARE);
    PostMessageA(bare.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Application::get().runLoop(&on), Application::LoopEnd::RegistryEmpty);
    EXPECT_EQ(log.count("closing"), 2);
    EXPECT_EQ(log.count("command"), 1);
}

TEST(Routing, CloseBoxReachesTheCancelControlThenCloses)
{
    EventLog log;
    RecordingDialog d(log, IDD_PLAIN);
    TestWrapper* cancel = rebind<TestWrapper>(d, IDCANCEL, log);
    ASSERT_NE(cancel, nullptr);
    PostMessageA(d.hwnd(), WM_CLOSE, 0, 0);
    bool on = true;
    EXPECT_EQ(Application::get().runLoop(&on), Application::LoopEnd::RegistryEmpty);
    ASSERT_EQ(log.count("wrapperCommand"), 1);
    EXPECT_EQ(log.last("wrapperCommand")->id, IDCANCEL);
    EXPECT_EQ(log.count("closing"), 1);
    EXPECT_EQ(log.count("command"), 0);  // no menu: nothing issued without a control
    RecordingDialog kept(log, IDD_PLAIN);  // both close themselves on Cancel, and gone deletes itself
    auto* gone = new RecordingDialog(log, IDD_PLAIN);
    gone->setAutoDelete(true);
    kept.closeOnCommand = gone->closeOnCommand = true;
    for (HWND h : {kept.hwnd(), gone->hwnd()}) PostMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_EQ(Application::get().runLoop(&on), Application::LoopEnd::RegistryEmpty);
    EXPECT_EQ(log.count("closing"), 3);
    EXPECT_EQ(log.count("destroyed"), 1);
}

TEST(Routing, EnterReachesTheFocusedControlWithIdOne)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    rebind<TestWrapper>(d, IDC_EDIT, log);
    pumpDialogs(50);
    SetFocus(GetDlgItem(d.hwnd(), IDC_EDIT));
    pressKey(GetDlgItem(d.hwnd(), IDC_EDIT), VK_RETURN);
    pumpDialogs(100);
    const Event* e = log.last("wrapperCommand");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->id, IDC_EDIT);
    EXPECT_EQ(e->b, IDOK);
    EXPECT_EQ(log.count("command"), 0);

    // As Windows sends it (no OK control, so no sender): still the focused control.
    log.clear();
    SendMessageA(d.hwnd(), WM_COMMAND, IDOK, 0);
    ASSERT_NE(log.last("wrapperCommand"), nullptr);
    EXPECT_EQ(log.last("wrapperCommand")->b, IDOK);
    EXPECT_EQ(log.count("command"), 0);
}

TEST(Routing, PostedUserMessageFromAnotherThread)
{
    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    int notice = 0;
    std::thread t([&] { d.postUserMessage(3, reinterpret_cast<LPARAM>(&notice)); });
    t.join();
    ASSERT_TRUE(bench::pumpUntil([&] { return log.count("user") == 1; }, 2000));
    EXPECT_EQ(log.last("user")->a, 3);
    EXPECT_EQ(log.last("user")->b, reinterpret_cast<LPARAM>(&notice));  // a pointer arrives whole
}

TEST(Routing, TimerTicksAboutEveryFiftyMilliseconds)
{
    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    d.recordTicks = true;
    pumpDialogs(1000);
    d.recordTicks = false;
    std::vector<long long> gaps;
    const Event* previous = nullptr;
    for (const Event& e : log.events) {
        if (previous) gaps.push_back(e.a - previous->a);
        previous = &e;
    }
    ASSERT_GE(gaps.size(), 8u);
    EXPECT_LE(gaps.size(), 24u);  // never faster than one per 50 ms
    std::sort(gaps.begin(), gaps.end());
    long long median = gaps[gaps.size() / 2];  // robust against a stall of the shared machine
    EXPECT_GE(median, 40);
    EXPECT_LE(median, 80);
}

TEST(Routing, EditChangeReportsTheTextWithItemMinusOne)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    // The plain wrapper's report, whichever wrapper the edit kind has.
    rebind<ControlWrapper>(d, IDC_EDIT);
    SetWindowTextA(GetDlgItem(d.hwnd(), IDC_EDIT), "42 apples");
    pumpDialogs(20);
    const Event* e = log.last("value");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->id, IDC_EDIT);
    EXPECT_EQ(e->a, -1);
    EXPECT_EQ(e->text, "42 apples");
    EXPECT_EQ(e->b, 42);
}

TEST(Routing, NotificationsReachTheSendersWrapperWithItsResult)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    TestWrapper* w = rebind<TestWrapper>(d, IDC_TEXT, log);
    w->notifyResult = 5;
    NMHDR h{GetDlgItem(d.hwnd(), IDC_TEXT), IDC_TEXT, NM_CLICK};
    EXPECT_EQ(SendMessageA(d.hwnd(), WM_NOTIFY, IDC_TEXT, reinterpret_cast<LPARAM>(&h)), 5);
    EXPECT_EQ(log.count("notify"), 1);
    h.code = LVN_DELETEITEM;
    EXPECT_EQ(SendMessageA(d.hwnd(), WM_NOTIFY, IDC_TEXT, reinterpret_cast<LPARAM>(&h)), 0);
    h.code = LVN_DELETEALLITEMS;
    SendMessageA(d.hwnd(), WM_NOTIFY, IDC_TEXT, reinterpret_cast<LPARAM>(&h));
    h.hwndFrom = d.hwnd();  // not a child
    h.code = NM_CLICK;
    SendMessageA(d.hwnd(), WM_NOTIFY, IDC_TEXT, reinterpret_cast<LPARAM>(&h));
    EXPECT_EQ(log.count("notify"), 1);
}

TEST(Routing, ScrollRequestsOfTheWindowAndOfControls)
{
    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    SendMessageA(d.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    SendMessageA(d.hwnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 77), 0);
    SendMessageA(d.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 0);  // ignored
    SendMessageA(d.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_PAGEUP, 0), 0);
    ASSERT_EQ(log.count("selection"), 3);
    EXPECT_EQ(log.events[0].id, -2);
    EXPECT_EQ(log.events[0].b, 3);
    EXPECT_EQ(log.events[1].id, -3);
    EXPECT_EQ(log.events[1].a, 77);
    EXPECT_EQ(log.events[1].b, 1);
    EXPECT_EQ(log.events[2].b, 4);

    TestWrapper* w = rebind<TestWrapper>(d, IDC_TEXT, log);
    (void)w;
    SendMessageA(d.hwnd(), WM_HSCROLL, MAKEWPARAM(SB_LINEUP, -3 & 0xFFFF),
                 reinterpret_cast<LPARAM>(GetDlgItem(d.hwnd(), IDC_TEXT)));
    const Event* e = log.last("wrapperCommand");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->a, SB_LINEUP);
    EXPECT_EQ(e->b, -3);  // the position is signed
}

TEST(Routing, ScrollBarTargetsMoveTheWindowsBars)
{
    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    si.nMax = 100;
    SetScrollInfo(d.hwnd(), SB_VERT, &si, FALSE);
    SetScrollInfo(d.hwnd(), SB_HORZ, &si, FALSE);
    d.setInt(-2, 40, -1);
    d.setInt(-3, 15, 99);
    EXPECT_EQ(GetScrollPos(d.hwnd(), SB_VERT), 40);
    EXPECT_EQ(GetScrollPos(d.hwnd(), SB_HORZ), 15);
    d.enable(-2, false, -1);  // a scroll-bar target does nothing else
}

TEST(Routing, MenuItemsAreTouchedOnlyForPositiveItems)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    HMENU m = GetMenu(d.hwnd());
    ASSERT_NE(m, nullptr);
    ASSERT_NE(d.window()->menu(), nullptr);
    d.setInt(-1, 1, IDM_FIRST);
    d.enable(-1, false, IDM_SECOND);
    EXPECT_TRUE(GetMenuState(m, IDM_FIRST, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(m, IDM_SECOND, MF_BYCOMMAND) & MF_GRAYED);
    d.setInt(-1, 0, 0);
    d.setInt(-1, 0, -1);
    d.enable(-1, true, -1);
    d.enable(-1, true, 0);
    EXPECT_TRUE(GetMenuState(m, IDM_FIRST, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(m, IDM_SECOND, MF_BYCOMMAND) & MF_GRAYED);
    d.setInt(-1, 0, IDM_FIRST);
    d.enable(-1, true, IDM_SECOND);
    EXPECT_FALSE(GetMenuState(m, IDM_FIRST, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(m, IDM_SECOND, MF_BYCOMMAND) & MF_GRAYED);

    // No menu: no target, nothing happens.
    RecordingDialog bare(log, IDD_BARE);
    EXPECT_EQ(bare.window()->findTarget(-1), nullptr);
    bare.setInt(-1, 1, IDM_FIRST);
}

TEST(Routing, TheWindowIsTheTargetOfZeroAndOfItsResourceId)
{
    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    EXPECT_EQ(d.window()->findTarget(0), d.window());
    EXPECT_EQ(d.window()->findTarget(IDD_BARE), d.window());
    d.setText(IDD_BARE, "New caption", -1);
    char caption[64];
    GetWindowTextA(d.hwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, "New caption");
    RECT r;
    GetWindowRect(d.hwnd(), &r);
    ValueTarget* t = d.window()->findTarget(0);
    EXPECT_EQ(t->getWidth(), r.right - r.left);
    EXPECT_EQ(t->getHeight(), r.bottom - r.top);
    EXPECT_EQ(t->getLeft(0), r.left);
    EXPECT_EQ(t->getTop(0), r.top);
    EXPECT_EQ(t->getKeyHandler(), nullptr);
}
