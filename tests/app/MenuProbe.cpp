#include "MenuProbe.h"

#include "MenuProbeProtocol.h"
#include "support/Bench.h"

bool MenuProbe::attach(DWORD threadId)
{
    hook_.reset();
    if (!dll_) dll_.reset(LoadLibraryA(bench::windowsPath(TAV_MENU_PROBE_UNIX_PATH).c_str()));
    if (!dll_) {
        failure_ = "the menu probe DLL did not load: error " + std::to_string(GetLastError());
        return false;
    }
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll_.get(), menuprobe::kHookProcName)));
    if (proc) hook_.reset(SetWindowsHookExA(WH_CALLWNDPROC, proc, dll_.get(), threadId));
    if (!hook_) {
        failure_ = "the menu probe was not hooked: error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

int MenuProbe::state(HWND window, int commandId)
{
    static const UINT message = RegisterWindowMessageA(menuprobe::kMessageName);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, WPARAM(commandId), 0, SMTO_ABORTIFHUNG, 5000, &result)) return -1;
    if (LONG_PTR(result) == -1 || !(result & menuprobe::kAnswered)) return -1;
    return int(result & 0xFFFF);
}

int64_t MenuProbe::heapBytes(HWND window, WPARAM kind)
{
    static const UINT message = RegisterWindowMessageA(menuprobe::kHeapMessageName);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, kind, 0, SMTO_ABORTIFHUNG, 5000, &result) || result == 0) return -1;
    return int64_t(result);
}
