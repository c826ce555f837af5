// The menu probe: a hook DLL that a test driver installs with SetWindowsHookEx on the program's
// window thread. Menus are per process under Wine, so the state is read here, inside the program,
// and returned to the driver's SendMessage with ReplyMessage before the window sees the message.
// It also counts the bytes in use in the process's heaps, which only code inside it can walk.
#include <malloc.h>
#include <cstdint>
#include "MenuProbeProtocol.h"

namespace {

// Bytes in busy blocks of one heap; walked under its lock, as other threads allocate meanwhile.
uint64_t BusyBytes(HANDLE heap)
{
    uint64_t total = 0;
    if (!HeapLock(heap)) return 0;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    HeapUnlock(heap);
    return total;
}

uint64_t HeapBytes(WPARAM kind)
{
    // The program and this DLL share the C runtime DLL, and with it its heap.
    const HANDLE runtime = reinterpret_cast<HANDLE>(_get_heap_handle());
    if (kind == menuprobe::kHeapRuntime) return BusyBytes(runtime);
    HANDLE heaps[256];
    DWORD n = GetProcessHeaps(256, heaps);
    uint64_t total = 0;
    for (DWORD i = 0; i < n && i < 256; ++i)
        if (heaps[i] != runtime) total += BusyBytes(heaps[i]);
    return total;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wparam, LPARAM lparam)
{
    static const UINT query = RegisterWindowMessageA(menuprobe::kMessageName);
    static const UINT heapQuery = RegisterWindowMessageA(menuprobe::kHeapMessageName);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && query && call->message == query && InSendMessage()) {
        UINT state = GetMenuState(GetMenu(call->hwnd), static_cast<UINT>(call->wParam), MF_BYCOMMAND);
        ReplyMessage(state == static_cast<UINT>(-1) ? -1 : menuprobe::kAnswered | LRESULT(state & 0xFFFF));
    } else if (code == HC_ACTION && heapQuery && call->message == heapQuery && InSendMessage()) {
        uint64_t bytes = HeapBytes(call->wParam);
        ReplyMessage(LRESULT(bytes < 0x7FFFFFFF ? bytes : 0x7FFFFFFF));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
