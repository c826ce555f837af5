// What the menu probe DLL and the test drivers that load it agree on.
#pragma once
#include <windows.h>

namespace menuprobe {
// Sent to the program's window: wParam a menu command id; the answer its MF_ state bits with
// kAnswered set, or -1 when the menu has no such item.
constexpr const char* kMessageName = "Tavrenix.MenuProbe.State";
// Set in every answer, so that 0 (the window's own answer to an unknown message) is never a state.
constexpr LRESULT kAnswered = 0x10000;
// Sent to the program's window: the bytes in use in one kind of heap of the program's process
// (0: not answered; neither kind is ever empty). wParam picks the kind below.
constexpr const char* kHeapMessageName = "Tavrenix.MenuProbe.Heap";
// The C runtime's heap: every allocation of the program's own code (new, malloc).
constexpr WPARAM kHeapRuntime = 0;
// All other heaps of the process: what the system's libraries allocate for themselves.
constexpr WPARAM kHeapOthers = 1;
// The WH_CALLWNDPROC hook procedure the DLL exports.
constexpr const char* kHookProcName = "MenuProbeHook";
}  // namespace menuprobe
