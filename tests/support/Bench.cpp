#include "support/Bench.h"
#include <cstdlib>
#include <string>
#include "framework/Application.h"

namespace bench {

std::string benchDir()
{
    const char* d = std::getenv("TAV_BENCH");
    return d ? d : "";
}

std::string windowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string lineErrorFlag()
{
    const char* unixPath = std::getenv("TAV_LINE_ERRORS");
    return unixPath && *unixPath ? windowsPath(unixPath) : std::string();
}

HANDLE openRaw(const char* port)
{
    std::string name = std::string("\\\\.\\") + port;
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return h;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(h, &dcb);
    dcb.BaudRate = 115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    SetCommState(h, &dcb);
    COMMTIMEOUTS to{};
    to.ReadIntervalTimeout = MAXDWORD;  // reads return at once with what is there
    to.WriteTotalTimeoutConstant = 5000;
    SetCommTimeouts(h, &to);
    return h;
}

bool writeAll(HANDLE h, const void* bytes, DWORD count)
{
    const char* p = static_cast<const char*>(bytes);
    while (count > 0) {
        DWORD n = 0;
        if (!WriteFile(h, p, count, &n, nullptr) || n == 0) return false;
        p += n;
        count -= n;
    }
    return true;
}

void drain(HANDLE h, DWORD quietMs)
{
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    char buf[4096];
    DWORD n = 0;
    for (DWORD quiet = 0; ReadFile(h, buf, sizeof buf, &n, nullptr);) {
        if (n > 0) {
            quiet = 0;
        } else if (quiet >= quietMs) {
            break;
        } else {
            Sleep(10);
            quiet += 10;
        }
    }
}

DWORD handleProbe()
{
    DWORD n = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &n) && n > 0) return n;
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    DWORD slot = DWORD(reinterpret_cast<UINT_PTR>(probe) / 4);
    CloseHandle(probe);
    return slot;
}

double nowMs()
{
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) * 1000.0 / double(freq.QuadPart);
}

void pump(DWORD ms)
{
    double end = nowMs() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        double left = end - nowMs();
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left) + 1, QS_ALLINPUT);
    }
}

void pumpDialogs(DWORD ms)
{
    double end = nowMs() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (Application::get().offerToDialogs(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        double left = end - nowMs();
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left) + 1, QS_ALLINPUT);
    }
}

}  // namespace bench
