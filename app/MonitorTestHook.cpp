#include "app/MonitorTestHook.h"

namespace {
constexpr const char* kProperty = "Tavrenix.TestHook";
}

std::unique_ptr<MonitorTestHook> MonitorTestHook::InstallIfEnabled(HWND window)
{
    char value[8];
    DWORD n = GetEnvironmentVariableA(kEnvironmentName, value, sizeof value);
    if (n == 0 || !window) return nullptr;
    UINT message = RegisterWindowMessageA(kMessageName);
    if (!message) return nullptr;
    return std::unique_ptr<MonitorTestHook>(new MonitorTestHook(window, message));
}

MonitorTestHook::MonitorTestHook(HWND window, UINT message) : window_(window), message_(message)
{
    SetPropA(window_, kProperty, this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MonitorTestHook::HookProc)));
}

MonitorTestHook::~MonitorTestHook()
{
    if (!IsWindow(window_)) return;
    if (GetWindowLongPtrA(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&MonitorTestHook::HookProc))
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(window_, kProperty);
}

LRESULT CALLBACK MonitorTestHook::HookProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* hook = static_cast<MonitorTestHook*>(GetPropA(window, kProperty));
    if (!hook) return DefDlgProcA(window, message, wparam, lparam);
    if (message == hook->message_) {
        // wParam: a menu command id; the answer: its MF_ state bits, or -1 when there is no such item.
        UINT state = GetMenuState(GetMenu(window), static_cast<UINT>(wparam), MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1)) return -1;
        return kAnswered | static_cast<LRESULT>(state & 0xFFFF);
    }
    return CallWindowProcA(hook->previous_, window, message, wparam, lparam);
}
