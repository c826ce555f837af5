// Proves the bench: a Win32 program receives, on a pty line linked as a COM port, what the far
// end writes, with the interval time-out and the overlapped event wait working as on a real port.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "support/Bench.h"

namespace {

struct Port {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Port() { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
};

struct Event {
    HANDLE h = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~Event() { CloseHandle(h); }
};

class LiveLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        line.h = CreateFileA(bench::kLinePort, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
        ASSERT_NE(line.h, INVALID_HANDLE_VALUE) << GetLastError();
        COMMTIMEOUTS to{};
        to.ReadIntervalTimeout = 100;
        ASSERT_TRUE(SetCommTimeouts(line.h, &to));
        remote.h = bench::openRaw(bench::kFarPort);
        ASSERT_NE(remote.h, INVALID_HANDLE_VALUE) << GetLastError();
        PurgeComm(line.h, PURGE_RXCLEAR | PURGE_TXCLEAR);
        bench::drain(remote.h);
    }

    // An overlapped read of up to 2000 bytes, issued before the far end writes.
    struct Read {
        std::vector<char> buf = std::vector<char>(2000);
        Event ev;
        OVERLAPPED ov{};
        bool pending = false;
        DWORD n = 0;
    };

    void begin(Read& r)
    {
        r.ov.hEvent = r.ev.h;
        if (ReadFile(line.h, r.buf.data(), DWORD(r.buf.size()), &r.n, &r.ov)) return;
        ASSERT_EQ(GetLastError(), DWORD(ERROR_IO_PENDING));
        r.pending = true;
    }

    // The bytes of the read, or nothing when it did not complete within timeoutMs.
    std::string finish(Read& r, DWORD timeoutMs)
    {
        if (r.pending) {
            if (WaitForSingleObject(r.ev.h, timeoutMs) != WAIT_OBJECT_0) {
                CancelIoEx(line.h, &r.ov);
                GetOverlappedResult(line.h, &r.ov, &r.n, TRUE);
                return "(no read completed)";
            }
            EXPECT_TRUE(GetOverlappedResult(line.h, &r.ov, &r.n, TRUE));
        }
        return std::string(r.buf.data(), r.n);
    }

    Port line, remote;
};

TEST_F(LiveLine, BurstsWithinTheIntervalArriveAsOneRead)
{
    Read r;
    begin(r);
    ASSERT_TRUE(bench::writeAll(remote.h, "abc", 3));
    Sleep(30);
    ASSERT_TRUE(bench::writeAll(remote.h, "def", 3));
    EXPECT_EQ(finish(r, 3000), "abcdef");
}

TEST_F(LiveLine, ALongPauseSplitsTheReads)
{
    Read a, b;
    begin(a);
    double t0 = bench::nowMs();
    ASSERT_TRUE(bench::writeAll(remote.h, "first", 5));
    EXPECT_EQ(finish(a, 3000), "first");
    begin(b);
    Sleep(DWORD(std::max(0.0, 500 - (bench::nowMs() - t0))));
    ASSERT_TRUE(bench::writeAll(remote.h, "second", 6));
    EXPECT_EQ(finish(b, 3000), "second");
}

TEST_F(LiveLine, OverlappedWaitReportsReceivedCharacters)
{
    ASSERT_TRUE(SetCommMask(line.h, EV_RXCHAR | EV_ERR));
    Event ev;
    OVERLAPPED ov{};
    ov.hEvent = ev.h;
    DWORD mask = 0;
    BOOL done = WaitCommEvent(line.h, &mask, &ov);
    if (!done) {
        ASSERT_EQ(GetLastError(), DWORD(ERROR_IO_PENDING));
        EXPECT_EQ(WaitForSingleObject(ev.h, 200), DWORD(WAIT_TIMEOUT)) << "wait ended without traffic";
        ASSERT_TRUE(bench::writeAll(remote.h, "x", 1));
        ASSERT_EQ(WaitForSingleObject(ev.h, 3000), DWORD(WAIT_OBJECT_0));
        DWORD n = 0;
        ASSERT_TRUE(GetOverlappedResult(line.h, &ov, &n, TRUE));
    }
    EXPECT_TRUE(mask & EV_RXCHAR);
    SetCommMask(line.h, 0);
}

TEST(Display, AWindowCanBeCreatedOnTheBenchDisplay)
{
    HWND w = CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    bench::pump(50);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 100);
    DestroyWindow(w);
}

}  // namespace

namespace {
// Recurses until the stack is gone; the volatile frame keeps the compiler from making it a loop.
int deepen(volatile int depth)
{
    if (depth < 0) return 0;  // never: the stack ends first
    volatile char frame[512];
    frame[0] = char(depth);
    return depth + frame[0] + deepen(depth + 1);
}
}  // namespace

// Run only by bench.crash_fails: a crashing test program must fail, whatever exit code Wine gives.
TEST(DISABLED_Crash, StackOverflow)
{
    EXPECT_NE(deepen(0), 0);
}
