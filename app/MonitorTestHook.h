// A probe for end-to-end tests, installed only when the environment names TAV_TEST_HOOKS: it
// answers menu states, which another process cannot read under Wine. Inert in normal use.
#pragma once
#include <windows.h>
#include <memory>

class MonitorTestHook {
public:
    static constexpr const char* kEnvironmentName = "TAV_TEST_HOOKS";
    static constexpr const char* kMessageName = "Tavrenix.TestHook.MenuState";
    // Set in every answer, so that 0 (no hook) is never a valid state.
    static constexpr LRESULT kAnswered = 0x10000;

    // The hook on window when the environment asks for it, else null.
    static std::unique_ptr<MonitorTestHook> InstallIfEnabled(HWND window);
    ~MonitorTestHook();
    MonitorTestHook(const MonitorTestHook&) = delete;
    MonitorTestHook& operator=(const MonitorTestHook&) = delete;

private:
    MonitorTestHook(HWND window, UINT message);
    static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND window_;
    UINT message_;
    WNDPROC previous_ = nullptr;
};
