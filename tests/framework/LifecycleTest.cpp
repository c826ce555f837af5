#include <gtest/gtest.h>
#include <algorithm>
#include "framework/Application.h"
#include "framework/ControlAnchor.h"
#include "framework/DialogWindow.h"
#include "framework/WindowIcons.h"
#include "tests/framework/Recorder.h"
#include "tests/framework/TestIds.h"

namespace {

std::vector<std::string> closingOrder(const EventLog& log)
{
    std::vector<std::string> names;
    for (const Event& e : log.events) {
        if (e.what == "closing") names.push_back(e.text);
    }
    return names;
}

int indexOf(const EventLog& log, const std::string& what, int from = 0)
{
    for (size_t i = from; i < log.events.size(); ++i) {
        if (log.events[i].what == what) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

TEST(Closing, OwnedDialogsCloseFirstInnermostFirst)
{
    EventLog log;
    RecordingDialog a(log, IDD_PLAIN, nullptr, nullptr, false, "A");
    RecordingDialog b(log, IDD_PLAIN, nullptr, &a, true, "B");
    RecordingDialog c(log, IDD_PLAIN, nullptr, &b, true, "C");
    RecordingDialog d(log, IDD_BARE, nullptr, &a, true, "D");
    RecordingDialog other(log, IDD_BARE, nullptr, nullptr, false, "other");
    const WindowRegistry& r = Application::get().registry();
    ASSERT_EQ(r.count(), 5);
    EXPECT_EQ(b.window()->owner(), a.window());
    a.close();
    EXPECT_EQ(closingOrder(log), (std::vector<std::string>{"C", "B", "D", "A"}));
    ASSERT_EQ(r.count(), 1);
    EXPECT_EQ(r.at(0), other.window());
    for (RecordingDialog* x : {&a, &b, &c, &d}) {
        EXPECT_FALSE(x->window()->running());
        EXPECT_TRUE(IsWindow(x->hwnd()));  // closed windows stay until their Dialog goes
    }
}

TEST(Closing, DeletingAnOwnerFirstLeavesNoDeadWindowRegistered)
{
    EventLog log;
    auto a = std::make_unique<RecordingDialog>(log, IDD_PLAIN, nullptr, nullptr, false, "A");
    auto b = std::make_unique<RecordingDialog>(log, IDD_PLAIN, nullptr, a.get(), true, "B");
    ASSERT_EQ(Application::get().registry().count(), 2);
    a.reset();  // destroys b's window with it
    EXPECT_EQ(Application::get().registry().count(), 0);
    EXPECT_EQ(b->hwnd(), nullptr);
    b->setText(IDC_TEXT, "x", -1);
    b->close();
    b.reset();
}

TEST(Modal, OwnerIsDisabledWhileTheModalLoopRuns)
{
    EventLog log;
    struct Modal : RecordingDialog {
        using RecordingDialog::RecordingDialog;
        HWND parent = nullptr;
        int ticks = 0;
        bool parentEnabledDuring = true;
        void timerTick() override
        {
            if (++ticks == 2) {
                parentEnabledDuring = IsWindowEnabled(parent) != FALSE;
                close();
            }
        }
    };
    RecordingDialog owner(log, IDD_MAIN, nullptr, nullptr, false, "owner");
    Modal m(log, IDD_PLAIN, nullptr, &owner, true, "modal");
    m.parent = owner.hwnd();
    m.runModal();
    EXPECT_EQ(m.ticks, 2);
    EXPECT_FALSE(m.parentEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_FALSE(Application::get().isRegistered(m.window()));
    EXPECT_TRUE(Application::get().isRegistered(owner.window()));
    EXPECT_EQ(closingOrder(log), (std::vector<std::string>{"modal"}));
}

TEST(Teardown, PendingMessagesNeverReachADeletedDialogOrItsWrappers)
{
    EventLog log;
    auto d = std::make_unique<RecordingDialog>(log, IDD_MAIN);
    HWND hwnd = d->hwnd();
    HWND edit = GetDlgItem(hwnd, IDC_EDIT);
    rebind<TestWrapper>(*d, IDC_EDIT, log);
    rebind<TestWrapper>(*d, IDC_TEXT, log);
    d->recordTicks = true;
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    d->postUserMessage(1, 2);
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDM_FIRST, 0), 0);
    PostMessageA(hwnd, WM_TIMER, 1, 0);
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_EDIT, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
    PostMessageA(hwnd, WM_NOTIFY, 0, 0);
    PostMessageA(edit, WM_KEYDOWN, 'A', 1);
    log.clear();
    d.reset();
    pumpDialogs(150);
    int destroyed = indexOf(log, "destroyed");
    ASSERT_GE(destroyed, 0);
    // After the dialog's own destructor: only the wrappers going, nothing else.
    for (size_t i = destroyed + 1; i < log.events.size(); ++i) EXPECT_EQ(log.events[i].what, "wrapperGone") << i;
    EXPECT_EQ(log.count("wrapperGone"), 2);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(Application::get().registry().count(), 0);
}

TEST(Teardown, ADetachedDialogHearsNothingWhileItsMembersGo)
{
    struct Noisy {  // raises messages while it is destroyed, as a thread or a child window can
        HWND dialog;
        ~Noisy()
        {
            SendMessageA(dialog, WM_USER + 1, 5, 0);
            SetFocus(GetDlgItem(dialog, IDC_EDIT));
        }
    };
    struct Derived : RecordingDialog {
        explicit Derived(EventLog& log) : RecordingDialog(log, IDD_MAIN), noisy{hwnd()} {}
        ~Derived() override { detach(); }
        Noisy noisy;
    };
    EventLog log;
    auto d = std::make_unique<Derived>(log);
    HWND hwnd = d->hwnd();
    SetFocus(GetDlgItem(hwnd, IDC_TEXT));
    log.clear();
    d.reset();
    EXPECT_EQ(log.count("user") + log.count("focus"), 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Teardown, DeletingARegisteredDialogUnregistersIt)
{
    EventLog log;
    auto d = std::make_unique<RecordingDialog>(log, IDD_BARE);
    ASSERT_EQ(Application::get().registry().count(), 1);
    d.reset();
    EXPECT_EQ(Application::get().registry().count(), 0);
}

TEST(Initialisation, WindowIconsComeFromTheDialogsKindTwoDescriptor)
{
    const WindowIcons icons(IDD_BARE, IDI_TEST, IDI_TEST, 0);
    const ControlAnchor notIcons(IDD_PLAIN, 0);
    const ControlDescriptor* const list[] = {&icons, &notIcons, nullptr};
    EventLog log;
    RecordingDialog with(log, IDD_BARE, list);
    EXPECT_NE(SendMessageA(with.hwnd(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(with.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
    RecordingDialog without(log, IDD_PLAIN, list);
    EXPECT_EQ(SendMessageA(without.hwnd(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(SendMessageA(without.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST(Initialisation, MeasuresTheWindowAtCreation)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    RECT w, c;
    GetWindowRect(d.hwnd(), &w);
    GetClientRect(d.hwnd(), &c);
    EXPECT_EQ(d.window()->minWidth(), w.right - w.left);
    EXPECT_EQ(d.window()->minHeight(), w.bottom - w.top);
    EXPECT_EQ(d.window()->clientWidth(), c.right);
    EXPECT_EQ(d.window()->clientHeight(), c.bottom);
    EXPECT_EQ(DialogWindow::fromWindow(d.hwnd()), d.window());
    EXPECT_EQ(DialogWindow::fromWindow(GetDlgItem(d.hwnd(), IDC_TEXT)), nullptr);
    EXPECT_TRUE(d.window()->running());
    EXPECT_NE(d.window()->accelerators(), nullptr);
}
