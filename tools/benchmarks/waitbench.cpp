// tavwaitbench: what the system's libraries keep in the process's heaps per request of the receive
// cycle, with none of the program's code: threads started and ended, event waits on the line ended
// by an empty mask, and reads ended by cancelling. Prints bytes per request; needs the bench line.
#include <windows.h>
#include <cstdint>
#include <cstdio>
#include "HeapBytes.h"
#include "framework/UniqueHandle.h"

namespace {

constexpr int kRounds = 2000;

DWORD WINAPI NoWork(LPVOID) { return 0; }

template <typename Request>
void Measure(const char* what, Request request)
{
    request();  // first use: what a library sets up once is not counted
    const uint64_t before = heapbytes::Others();
    for (int i = 0; i < kRounds; ++i) request();
    const double per = (double(heapbytes::Others()) - double(before)) / kRounds;
    std::printf("%-44s %8.1f bytes each (%d)\n", what, per, kRounds);
}

}  // namespace

int main()
{
    UniqueFileHandle device(CreateFileA("\\\\.\\COM5", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr));
    if (!device) {
        std::printf("COM5 did not open (error %lu): start the bench first\n", GetLastError());
        return 1;
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 2;
    SetCommTimeouts(device.get(), &timeouts);
    UniqueHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    std::printf("Kept in the system's heaps per request (%d-bit):\n", int(sizeof(void*) * 8));
    Measure("thread started and ended", [] {
        UniqueHandle thread(CreateThread(nullptr, 0, NoWork, nullptr, 0, nullptr));
        WaitForSingleObject(thread.get(), INFINITE);
    });
    Measure("event wait ended by an empty mask", [&] {
        DWORD mask = 0, n = 0;
        OVERLAPPED o{};
        o.hEvent = event.get();
        SetCommMask(device.get(), EV_RXCHAR | EV_ERR);
        if (!WaitCommEvent(device.get(), &mask, &o) && GetLastError() == ERROR_IO_PENDING) {
            SetCommMask(device.get(), 0);
            GetOverlappedResult(device.get(), &o, &n, TRUE);
        }
    });
    Measure("read ended by cancelling", [&] {
        char buffer[2000];
        DWORD n = 0;
        OVERLAPPED o{};
        o.hEvent = event.get();
        if (!ReadFile(device.get(), buffer, sizeof buffer, nullptr, &o) && GetLastError() == ERROR_IO_PENDING) {
            CancelIoEx(device.get(), &o);
            GetOverlappedResult(device.get(), &o, &n, TRUE);
        }
    });
    return 0;
}
