// The built Tavrenix.exe, copied into a scratch folder and run there, driven from outside through
// ordinary window messages, as a user's clicks and menu choices reach it.
#pragma once
#include <windows.h>
#include <string>
#include "MenuProbe.h"
#include "framework/UniqueHandle.h"

class MonitorProcess {
public:
    // Copies the program into folder (its settings file and logs stay there).
    explicit MonitorProcess(const std::string& folder);
    // Ends the program by its process handle if it is still running.
    ~MonitorProcess();
    MonitorProcess(const MonitorProcess&) = delete;
    MonitorProcess& operator=(const MonitorProcess&) = delete;

    // The program of the build, as a Windows path.
    static std::string builtProgram();
    // Writes the settings file Tavrenix.def into folder as the program's Exit would.
    static bool writeSettings(const std::string& folder, const char* portName, int rxTimeoutMs, const char* logPath,
                              int displayFormat);
    // The port description the window shows for such settings (other fields at their defaults).
    static std::string describePort(const char* portName, int rxTimeoutMs = 100);

    // Starts it, waits for its window and hooks the menu probe onto it; false when that failed.
    bool start();
    // Why the last start failed.
    const std::string& failure() const { return failure_; }
    bool running() const;
    // Waits for the process to end; true when it did, with its exit code.
    bool waitExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void kill();
    // Unhooks the menu probe: menu states are no longer answered.
    void detachProbe() { probe_.detach(); }

    HWND window() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }
    std::string text(int id) const;
    std::string paneText() const { return text(1000); }
    bool checked(int id) const;
    bool enabled(int id) const;

    // A menu command handled before the call returns; post() for one that opens a modal box.
    void command(int id) const;
    void postCommand(int id) const;
    // A click on a button or check box; it takes the focus, so an edited field commits first.
    void click(int id) const;
    void postClick(int id) const;
    // Clicks into a control, which takes the keyboard focus.
    void focus(int id) const;
    // Clicks into an edit and puts text into it as typing does (changed, not yet committed).
    void type(int id, const std::string& text) const;
    // The focus moves on to the pane: an edit that had it commits its change to the window.
    void leave() const { focus(1000); }

    // Menu item state through the menu probe: its MF_ bits, -1 when not answered.
    int menuState(int commandId) const;
    bool menuChecked(int commandId) const;
    bool menuGrayed(int commandId) const;

    // A message box of the program other than its main window, waited for up to timeoutMs.
    HWND waitMessageBox(DWORD timeoutMs) const;
    static std::string boxText(HWND box);
    static std::string caption(HWND box);
    static void pressOk(HWND box);

    // The screen pixel at the centre of the activity lamp.
    COLORREF lampPixel() const;

    // Waits until the pane holds needle (or the time runs out); returns the pane text.
    std::string waitPane(const std::string& needle, DWORD timeoutMs) const;

    const std::string& programPath() const { return program_; }

private:
    HWND findWindow() const;

    std::string folder_;
    std::string program_;
    UniqueHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
    MenuProbe probe_;
    std::string failure_;
};
