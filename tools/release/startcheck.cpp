// tavstartcheck: starts a program, waits for its visible top-level window, closes it as the close
// box does and says whether the program showed the window and then ended with exit code 0.
// Usage: tavstartcheck PROGRAM "WINDOW TITLE"
#include <windows.h>
#include <cstdio>
#include <string>
#include "framework/UniqueHandle.h"

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("%s did not start (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    HWND window = nullptr;
    for (int i = 0; i < 300 && !window && WaitForSingleObject(process.get(), 100) == WAIT_TIMEOUT; ++i) {
        HWND w = FindWindowA(nullptr, argv[2]);
        DWORD owner = 0;
        if (w && GetWindowThreadProcessId(w, &owner) && owner == pi.dwProcessId && IsWindowVisible(w)) window = w;
    }
    DWORD code = STILL_ACTIVE;
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), 15000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
    if (code == STILL_ACTIVE) TerminateProcess(process.get(), 1);
    std::printf("window \"%s\" %s; exit code %lu\n", argv[2], window ? "shown" : "never shown", code);
    return window && code == 0 ? 0 : 1;
}
