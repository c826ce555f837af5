// tavstartcheck: starts a program, waits for its visible top-level window, closes it as the close
// box does and says whether the program showed the window and then ended with exit code 0.
// Usage: tavstartcheck PROGRAM "WINDOW TITLE"
#include <windows.h>
#include <cstdio>
#include <string>
#include "framework/UniqueHandle.h"

namespace {

struct Search {
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK findWindow(HWND w, LPARAM data)
{
    Search* s = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char title[256] = {};
    GetWindowTextA(w, title, sizeof title);
    if (pid == s->processId && IsWindowVisible(w) && std::string(title) == s->title) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::puts("usage: tavstartcheck PROGRAM \"WINDOW TITLE\"");
        return 2;
    }
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("%s did not start (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    Search s = {pi.dwProcessId, argv[2], nullptr};
    for (int i = 0; i < 300 && !s.found; ++i) {
        if (WaitForSingleObject(process.get(), 100) == WAIT_OBJECT_0) break;
        EnumWindows(findWindow, reinterpret_cast<LPARAM>(&s));
    }
    if (!s.found) {
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        std::printf("no visible window \"%s\" (process %s, exit code %lu)\n", argv[2],
                    code == STILL_ACTIVE ? "running" : "ended", code);
        TerminateProcess(process.get(), 1);
        return 1;
    }
    PostMessageA(s.found, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.get(), 15000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &code) ||
        code != 0) {
        std::printf("the window was shown, but the program did not end with 0 after WM_CLOSE (%lu)\n", code);
        TerminateProcess(process.get(), 1);
        return 1;
    }
    std::puts("started, showed its window and ended with 0");
    return 0;
}
