#include <gtest/gtest.h>
#include "framework/Application.h"
#include "framework/DialogWindow.h"
#include "framework/WindowRegistry.h"
#include "support/Bench.h"
#include "tests/framework/Recorder.h"
#include "tests/framework/TestIds.h"

namespace {

// Distinct addresses for the registry, which never touches what it holds.
DialogWindow* fake(int n)
{
    static char cells[64];
    return reinterpret_cast<DialogWindow*>(&cells[n]);
}

}  // namespace

TEST(Registry, KeepsOneEntryPerWindowAndAtMostFifty)
{
    WindowRegistry r;
    EXPECT_TRUE(r.add(fake(0)));
    EXPECT_FALSE(r.add(fake(0)));
    EXPECT_EQ(r.count(), 1);
    for (int i = 1; i < 50; ++i) EXPECT_TRUE(r.add(fake(i)));
    EXPECT_EQ(r.count(), 50);
    EXPECT_FALSE(r.add(fake(50)));
    EXPECT_EQ(r.count(), 50);
    EXPECT_FALSE(r.contains(fake(50)));
    EXPECT_FALSE(r.add(nullptr));
}

TEST(Registry, RemovalKeepsTheOrderOfTheRest)
{
    WindowRegistry r;
    r.add(fake(1));
    r.add(fake(2));
    r.add(fake(3));
    EXPECT_TRUE(r.remove(fake(1)));
    ASSERT_EQ(r.count(), 2);
    EXPECT_EQ(r.at(0), fake(2));
    EXPECT_EQ(r.at(1), fake(3));
    EXPECT_EQ(r.at(2), nullptr);
    EXPECT_FALSE(r.remove(fake(1)));
    EXPECT_EQ(r.count(), 2);
    r.add(fake(1));
    EXPECT_EQ(r.indexOf(fake(1)), 2);
}

TEST(MessageLoop, AlwaysHandlesOneMessageEvenWhenTheFlagIsDown)
{
    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    ASSERT_TRUE(d.created());
    pumpDialogs(50);
    d.postUserMessage(1, 11);
    d.postUserMessage(2, 22);
    bool flag = false;
    EXPECT_EQ(Application::get().runLoop(&flag), Application::LoopEnd::FlagDropped);
    EXPECT_EQ(log.count("user"), 1);
    pumpDialogs(20);
    EXPECT_EQ(log.count("user"), 2);
}

TEST(MessageLoop, NestedLoopEndsWhenItsFlagDropsAndWhenTheRegistryEmpties)
{
    EventLog log;
    struct Nester : RecordingDialog {
        using RecordingDialog::RecordingDialog;
        bool inner = true;
        int innerMessages = 0;
        Application::LoopEnd innerEnd{};
        void userMessage(WPARAM w, LPARAM l) override
        {
            RecordingDialog::userMessage(w, l);
            if (w == 1) {
                // Start a nested loop; message 2 drops its flag.
                innerEnd = Application::get().runLoop(&inner);
            } else if (w == 2) {
                inner = false;
            } else if (w == 3) {
                close();
            }
        }
    };
    Nester d(log, IDD_BARE);
    ASSERT_TRUE(d.created());
    pumpDialogs(50);
    d.postUserMessage(1, 0);
    d.postUserMessage(2, 0);
    d.postUserMessage(4, 0);
    bool outer = false;
    Application::get().runLoop(&outer);  // handles message 1, in which the inner loop runs
    EXPECT_EQ(d.innerEnd, Application::LoopEnd::FlagDropped);
    EXPECT_EQ(log.count("user"), 2);  // the inner loop stopped right after message 2

    // Closing the last dialog inside a nested loop ends it, and the enclosing loop after it.
    d.inner = true;
    d.postUserMessage(1, 0);
    d.postUserMessage(3, 0);
    d.postUserMessage(5, 0);
    bool forever = true;
    EXPECT_EQ(Application::get().runLoop(&forever), Application::LoopEnd::RegistryEmpty);
    EXPECT_EQ(d.innerEnd, Application::LoopEnd::RegistryEmpty);
    EXPECT_EQ(log.count("user"), 3 + 2);  // message 4 was left from before, 5 is still queued
    EXPECT_EQ(log.count("closing"), 1);
    pumpDialogs(20);
}

TEST(MessageLoop, QuitEndsTheLoopAndANestedLoopPassesItOn)
{
    EventLog log;
    struct Quitter : RecordingDialog {
        using RecordingDialog::RecordingDialog;
        Application::LoopEnd innerEnd{};
        void userMessage(WPARAM w, LPARAM l) override
        {
            RecordingDialog::userMessage(w, l);
            PostQuitMessage(7);
            bool on = true;
            innerEnd = Application::get().runLoop(&on);
        }
    };
    Quitter d(log, IDD_BARE);
    d.postUserMessage(0, 0);
    bool on = true;
    EXPECT_EQ(Application::get().runLoop(&on), Application::LoopEnd::Quit);
    EXPECT_EQ(d.innerEnd, Application::LoopEnd::Quit);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // none left over
}

TEST(MessageLoop, AFetchErrorEndsTheLoopInsteadOfSpinning)
{
    static int calls;
    calls = 0;
    auto failing = [](MSG*) -> BOOL {
        ++calls;
        return -1;
    };
    bool on = true;
    EXPECT_EQ(Application::get().runLoop(&on, failing), Application::LoopEnd::Error);
    EXPECT_EQ(calls, 1);
}

TEST(Application, MissingResourceLeavesNothingRegistered)
{
    int before = Application::get().registry().count();
    EventLog log;
    {
        RecordingDialog d(log, IDD_MISSING);
        EXPECT_FALSE(d.created());
        EXPECT_EQ(d.hwnd(), nullptr);
        EXPECT_FALSE(d.window()->running());
        EXPECT_EQ(Application::get().registry().count(), before);
        d.setText(IDC_TEXT, "x", -1);  // nothing to set, nothing breaks
        d.close();
    }
    EXPECT_EQ(Application::get().registry().count(), before);
    EXPECT_EQ(log.count("closing"), 1);
}

TEST(Application, InstanceAndCommonControlsAreReady)
{
    EXPECT_EQ(Application::get().instance(), GetModuleHandleA(nullptr));
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    EXPECT_TRUE(GetClassInfoExA(nullptr, "SysDateTimePick32", &wc));
    EXPECT_NE(GetModuleHandleA("riched32.dll"), nullptr);
}

TEST(Application, ClassRegistrarRunsOnceWithTheInstance)
{
    static HINSTANCE seen;
    static int runs;
    Application::addClassRegistrar([](HINSTANCE i) {
        seen = i;
        ++runs;
    });
    EXPECT_EQ(runs, 1);  // the application exists already: run at once
    EXPECT_EQ(seen, Application::get().instance());
}
