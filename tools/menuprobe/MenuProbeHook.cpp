// The menu probe: a hook DLL that a test driver installs with SetWindowsHookEx on the program's
// window thread. Menus are per process under Wine, so the state is read here, inside the program,
// and returned to the driver's SendMessage with ReplyMessage before the window sees the message.
// It also counts the bytes in use in the process's heaps, which only code inside it can walk.
#include "HeapBytes.h"
#include "MenuProbeProtocol.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wparam, LPARAM lparam)
{
    static const UINT query = RegisterWindowMessageA(menuprobe::kMessageName);
    static const UINT heapQuery = RegisterWindowMessageA(menuprobe::kHeapMessageName);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && query && call->message == query && InSendMessage()) {
        UINT state = GetMenuState(GetMenu(call->hwnd), static_cast<UINT>(call->wParam), MF_BYCOMMAND);
        ReplyMessage(state == static_cast<UINT>(-1) ? -1 : menuprobe::kAnswered | LRESULT(state & 0xFFFF));
    } else if (code == HC_ACTION && heapQuery && call->message == heapQuery && InSendMessage()) {
        uint64_t bytes = call->wParam == menuprobe::kHeapRuntime ? heapbytes::Runtime() : heapbytes::Others();
        ReplyMessage(LRESULT(bytes < 0x7FFFFFFF ? bytes : 0x7FFFFFFF));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
