// What the menu probe DLL and the test drivers that load it agree on.
#pragma once
#include <windows.h>

namespace menuprobe {
// Sent to the program's window: wParam a menu command id; the answer its MF_ state bits with
// kAnswered set, or -1 when the menu has no such item.
constexpr const char* kMessageName = "Tavrenix.MenuProbe.State";
// Set in every answer, so that 0 (the window's own answer to an unknown message) is never a state.
constexpr LRESULT kAnswered = 0x10000;
// The WH_CALLWNDPROC hook procedure the DLL exports.
constexpr const char* kHookProcName = "MenuProbeHook";
}  // namespace menuprobe
