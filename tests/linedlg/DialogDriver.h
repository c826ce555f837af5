// Drives the windows of the test's own thread from a second thread while that thread runs a
// modal loop, as a user would: every action is a message handled on the windows' thread.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

class DialogDriver {
public:
    static constexpr DWORD kWaitMs = 10000;

    // Starts the script on its own thread; the caller then runs the modal operation and Join()s.
    explicit DialogDriver(std::function<void(DialogDriver&)> script);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    void Join();

    // Runs modal() on this thread while script drives the dialog captioned caption once it is up;
    // returns modal()'s answer.
    template <class Modal>
    static auto Drive(const char* caption, Modal modal, std::function<void(DialogDriver&, HWND)> script)
    {
        DialogDriver driver([&](DialogDriver& d) {
            HWND dlg = d.WaitForDialog(caption);
            if (dlg)
                script(d, dlg);
            else
                d.failed_ = true;
        });
        auto answer = modal();
        driver.Join();
        if (driver.failed_) ADD_FAILURE() << "\"" << caption << "\" did not open";
        return answer;
    }

    // The script's tools (on the script's thread). A dialog of the test's thread with this
    // caption, visible and enabled; null after the wait.
    HWND WaitForDialog(const char* caption, DWORD timeoutMs = kWaitMs);
    // Waits until the window is destroyed.
    static bool WaitGone(HWND window, DWORD timeoutMs = kWaitMs);
    static HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }
    static std::string Text(HWND window);
    static int Selection(HWND combo);
    // The window that has the keyboard focus on the test's thread.
    HWND Focused() const;

    // Moves the focus to a control, as a click or Tab would.
    void Focus(HWND dialog, int id);
    // Selects the whole text of an edit or a combo box's edit field and types text over it.
    void Type(HWND dialog, int id, const char* text);
    // Empties the field with the keyboard.
    void Erase(HWND dialog, int id);
    // Picks entry index of a combo box's list with the arrow keys.
    void Choose(HWND dialog, int id, int index);
    // Clicks a push button.
    void Click(HWND dialog, int id);
    // A key pressed while the focus is where it is (through the test thread's message loop).
    void PressKey(int virtualKey);
    // The close box of the window's caption.
    static void CloseBox(HWND window);

    static LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    static HWND EditField(HWND control);
    void SendKey(HWND target, int virtualKey);

    DWORD ownerThread_;
    HWND lastDialog_ = nullptr;
    std::atomic<bool> done_{false};
    bool failed_ = false;
    std::thread thread_;
};
