// The menu probe DLL (tools/menuprobe) loaded by a test driver and hooked onto the program's window
// thread: the program then answers menu state queries from inside its own process, which another
// process cannot read under Wine. The program itself carries no such entry point.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "framework/UniqueHandle.h"

struct HookTraits {
    using Type = HHOOK;
    static Type empty() { return nullptr; }
    static void close(Type h) { UnhookWindowsHookEx(h); }
};

class MenuProbe {
public:
    // Hooks the probe onto a thread of another process; false with failure() when it could not.
    bool attach(DWORD threadId);
    // Removes the hook: the program stops answering.
    void detach() { hook_.reset(); }
    const std::string& failure() const { return failure_; }

    // The MF_ bits of the menu item commandId of window, -1 when not answered.
    static int state(HWND window, int commandId);
    // Bytes in use in the heaps of window's process of one kind (menuprobe::kHeap...), -1 when not
    // answered.
    static int64_t heapBytes(HWND window, WPARAM kind);

private:
    UniqueModule dll_;
    UniqueAny<HookTraits> hook_;  // released before the DLL it points into
    std::string failure_;
};
