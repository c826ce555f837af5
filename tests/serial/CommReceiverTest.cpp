// The receive cycle's failure paths and seams, on the live pty line COM5 (far end COM6).
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include "LineTools.h"
#include "RecordingSink.h"
#include "framework/BoundedCopy.h"
#include "framework/UniqueHandle.h"
#include "serial/CommPort.h"
#include "serial/CommReceiver.h"
#include "serial/SysErrorText.h"
#include "support/Bench.h"

namespace {

using Notice = RecordingSink::Notice;

// A receiver whose device requests a test can replace, one cycle at a time.
class SeamReceiver : public CommReceiver {
public:
    ~SeamReceiver() override
    {
        Stop();
        if (waitEnder_.joinable()) waitEnder_.join();
    }

    std::atomic<DWORD> fakeMask{0};        // non-zero: the wait completes at once with this mask
    std::atomic<DWORD> failReadWith{0};    // non-zero: the read fails at once with this code
    std::atomic<DWORD> failWaitWith{0};    // non-zero: the wait fails at once with this code
    std::atomic<HANDLE> readFrom{nullptr};  // set: the read is issued on this handle instead
    std::atomic<DWORD> lastReadSize{0};
    std::atomic<bool> readNeverEnds{false};  // set: the read stays pending until EndStuckRead
    // Set: the next wait ends with EV_RXCHAR and signals, its status word left saying running.
    std::atomic<bool> waitLosesStatus{false};

    // The driver completes the stuck read at last (with nothing read).
    void EndStuckRead()
    {
        OVERLAPPED* o = stuckRead_.exchange(nullptr);
        if (!o) return;
        o->InternalHigh = 0;
        o->Internal = 0;
        SetEvent(o->hEvent);
    }

protected:
    BOOL IssueWait(HANDLE device, DWORD* mask, OVERLAPPED* overlapped) override
    {
        if (waitLosesStatus.exchange(false)) {
            overlapped->Internal = STATUS_PENDING;
            if (waitEnder_.joinable()) waitEnder_.join();
            waitEnder_ = std::thread([mask, overlapped] {
                Sleep(20);
                *mask = EV_RXCHAR;
                SetEvent(overlapped->hEvent);
            });
            SetLastError(ERROR_IO_PENDING);
            return FALSE;
        }
        if (DWORD m = fakeMask.load()) {
            *mask = m;
            return TRUE;
        }
        if (DWORD code = failWaitWith.load()) {
            SetLastError(code);
            return FALSE;
        }
        return CommReceiver::IssueWait(device, mask, overlapped);
    }
    BOOL IssueRead(HANDLE device, void* buffer, DWORD size, OVERLAPPED* overlapped) override
    {
        lastReadSize = size;
        if (readNeverEnds.exchange(false)) {
            // Accepted and never completed, not even when cancelled.
            overlapped->Internal = STATUS_PENDING;
            stuckRead_.store(overlapped);
            SetLastError(ERROR_IO_PENDING);
            return FALSE;
        }
        if (DWORD code = failReadWith.load()) {
            SetLastError(code);
            return FALSE;
        }
        if (HANDLE h = readFrom.load()) return ReadFile(h, buffer, size, nullptr, overlapped);
        return CommReceiver::IssueRead(device, buffer, size, overlapped);
    }

private:
    std::atomic<OVERLAPPED*> stuckRead_{nullptr};
    std::thread waitEnder_;
};

// A pipe holding bytes (or none) before the cycle's read is issued on it; closing the client
// fails a read that waits on it.
struct FilledPipe {
    UniqueFileHandle server;
    UniqueFileHandle client;
    FilledPipe(const char* name, const std::string& bytes)
        : server(CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr)),
          client(CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        DWORD n = 0;
        if (client && !bytes.empty()) WriteFile(client.get(), bytes.data(), DWORD(bytes.size()), &n, nullptr);
    }
};

class ReceiverLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        remote = bench::openRaw(bench::kFarPort);
        ASSERT_NE(remote, INVALID_HANDLE_VALUE) << GetLastError();
        bench::drain(remote);
        boundedCopy(port.Settings().portName, bench::kLinePort);
        ASSERT_TRUE(port.Purge()) << port.ErrorText();
    }
    void TearDown() override
    {
        receiver.reset();
        CloseHandle(remote);
    }

    void send(const std::string& s) { ASSERT_TRUE(bench::writeAll(remote, s.data(), DWORD(s.size()))); }

    // After a failure the cycle has collected everything: a normal cycle gets every byte.
    void expectCleanNextCycle()
    {
        receiver->fakeMask = 0;
        receiver->failReadWith = 0;
        receiver->failWaitWith = 0;
        receiver->readFrom = nullptr;
        ASSERT_TRUE(receiver->WaitIdle(2000));
        receiver->Arm(port.Device(), &sink, 0);
        Sleep(50);
        send("clean");
        Notice n;
        ASSERT_TRUE(sink.Next(n, 3000));
        EXPECT_EQ(n.code, 0) << n.text;
        EXPECT_EQ(n.text, "clean");
    }

    // With the fault the receiver's fields set, a cycle whose read finds bytes in a pipe: the bytes
    // come first, then (the fault cleared) the failure at the next arming.
    void expectBytesThenFailure(const char* pipeName, const std::string& bytes, const std::string& failure)
    {
        FilledPipe pipe(pipeName, bytes);
        ASSERT_TRUE(pipe.server && pipe.client);
        receiver->readFrom = pipe.server.get();
        receiver->Arm(port.Device(), &sink, 0);
        Notice n;
        ASSERT_TRUE(sink.Next(n, 3000));
        EXPECT_EQ(n.code, 0) << n.text;
        EXPECT_EQ(n.text, bytes);
        ASSERT_TRUE(receiver->WaitIdle(2000));
        receiver->readFrom = nullptr;
        receiver->fakeMask = 0;
        receiver->failWaitWith = 0;
        receiver->Arm(port.Device(), &sink, 0);
        ASSERT_TRUE(sink.Next(n, 3000)) << "the failure was dropped";
        EXPECT_EQ(n.code, 4);
        EXPECT_EQ(n.text, failure);
        ASSERT_TRUE(receiver->WaitIdle(2000));
    }

    CommPort port;
    std::unique_ptr<SeamReceiver> receiver = std::make_unique<SeamReceiver>();
    RecordingSink sink;
    HANDLE remote = INVALID_HANDLE_VALUE;
};

TEST_F(ReceiverLine, ErrorEventWithoutCharactersIsALineError)
{
    receiver->fakeMask = EV_ERR;
    receiver->Arm(port.Device(), &sink, 0);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, "Comm Line error:(80).");
    EXPECT_TRUE(receiver->WaitIdle(2000)) << "the read issued with the wait was ended";
    receiver->fakeMask = EV_ERR | EV_BREAK;
    receiver->Arm(port.Device(), &sink, 0);
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.text, "Comm Line error:(c0).");
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, ErrorEventWithCharactersReadsTheChunk)
{
    receiver->fakeMask = EV_RXCHAR | EV_ERR;
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(50);
    EXPECT_EQ(sink.starts.load(), 1) << "bytes are announced before the read ends";
    send("data");
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 0);
    EXPECT_EQ(n.text, "data");
}

TEST_F(ReceiverLine, LineErrorFromTheShimReachesTheSink)
{
    std::string flag = bench::lineErrorFlag();
    ASSERT_FALSE(flag.empty()) << "TAV_LINE_ERRORS is set for this test program";
    receiver.reset();
    port.StartReceive(&sink, 0, 0);
    Sleep(100);
    Notice n;
    EXPECT_FALSE(sink.Next(n, 0));
    {
        UniqueFileHandle f(CreateFileA(flag.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(f) << flag;
    }
    bool got = sink.Next(n, 3000);
    DeleteFileA(flag.c_str());
    ASSERT_TRUE(got) << "no line error reported";
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, "Comm Line error:(80).");
    // Comm goes on again after the error: the line works.
    port.Purge();
    port.StartReceive(&sink, 0, 0);
    Sleep(50);
    send("fine");
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.text, "fine");
}

TEST_F(ReceiverLine, ReadFailingAtOnceGivesReadErrorText)
{
    receiver->failReadWith = ERROR_BROKEN_PIPE;
    receiver->Arm(port.Device(), &sink, 0);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, std::string("Comm read error:(") + SysErrorText(ERROR_BROKEN_PIPE).Text() + ").\n");
    EXPECT_TRUE(receiver->WaitIdle(2000)) << "the pending event wait was ended and collected";
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, ReadFailingAfterCharactersGivesReadErrorText)
{
    // The chunk is read from a pipe whose writer goes away once the line announced characters.
    FilledPipe pipe("\\\\.\\pipe\\tavrenix-read-error", "");
    ASSERT_TRUE(pipe.server && pipe.client);
    receiver->readFrom = pipe.server.get();
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(50);
    send("!");
    ASSERT_TRUE(bench::pumpUntil([&] { return sink.starts.load() == 1; }, 3000)) << "no EV_RXCHAR";
    Notice n;
    EXPECT_FALSE(sink.Next(n, 100)) << "the read is still pending";
    pipe.client.reset();
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, std::string("Comm read error:(") + SysErrorText(ERROR_BROKEN_PIPE).Text() + ").\n");
    port.Purge();
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, LineErrorWithBytesReadDeliversTheBytesThenTheError)
{
    receiver->fakeMask = EV_ERR;
    expectBytesThenFailure("\\\\.\\pipe\\tavrenix-error-with-bytes", "xyz", "Comm Line error:(80).");

    // Held across a purge, the error belongs to a session that is over: not reported.
    receiver->fakeMask = EV_ERR;
    FilledPipe again("\\\\.\\pipe\\tavrenix-error-with-bytes-2", "uvw");
    ASSERT_TRUE(again.server && again.client);
    receiver->readFrom = again.server.get();
    ASSERT_TRUE(receiver->WaitIdle(2000));
    receiver->Arm(port.Device(), &sink, 0);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.text, "uvw");
    ASSERT_TRUE(receiver->WaitIdle(2000));
    receiver->NotePurge();
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, FailedRequestsWithBytesDeliverTheBytesThenTheFailure)
{
    // A wait that fails while the read took bytes: the bytes, then at the next arming the failure.
    receiver->failWaitWith = ERROR_ACCESS_DENIED;
    expectBytesThenFailure("\\\\.\\pipe\\tavrenix-wait-fails-with-bytes", "abc",
                           std::string("WaitCommEvent error:(") + SysErrorText(ERROR_ACCESS_DENIED).Text() + ")");

    // A read ended by a failure (here a cancel that is no purge) after it took bytes off the line.
    ASSERT_TRUE(port.SetReadTimeout(5000));
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(50);
    send("held");
    Sleep(200);
    ASSERT_EQ(sink.Pending(), 0u) << "the chunk is still being read";
    CancelIoEx(port.Device(), nullptr);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 0) << n.text;
    EXPECT_EQ(n.text, "held");
    ASSERT_TRUE(receiver->WaitIdle(2000));
    receiver->Arm(port.Device(), &sink, 0);
    ASSERT_TRUE(sink.Next(n, 3000)) << "the failure was dropped";
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text.rfind("Comm read error:(", 0), 0u) << n.text;

    // Held across a purge (Comm switched), the failure belongs to a session that is over.
    ASSERT_TRUE(receiver->WaitIdle(2000));
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(50);
    send("late");
    Sleep(200);
    CancelIoEx(port.Device(), nullptr);
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.text, "late");
    ASSERT_TRUE(receiver->WaitIdle(2000));
    receiver->NotePurge();
    ASSERT_TRUE(port.SetReadTimeout(0));
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, WaitAbortedWhileItsMaskStandsIsReported)
{
    // Wine ends the wait so when the line's far end goes away: not a purge, so it must be told.
    receiver->failWaitWith = ERROR_OPERATION_ABORTED;
    receiver->Arm(port.Device(), &sink, 0);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000)) << "the receiver stopped without a word";
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, std::string("WaitCommEvent error:(") + SysErrorText(ERROR_OPERATION_ABORTED).Text() + ")");
    EXPECT_TRUE(receiver->WaitIdle(2000));
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, ReadEndedAfterAPurgeIsNoFailure)
{
    // As above, but the port purges before the read fails: Comm On or Off ended it, not the line.
    FilledPipe pipe("\\\\.\\pipe\\tavrenix-purged-read", "");
    ASSERT_TRUE(pipe.server && pipe.client);
    receiver->readFrom = pipe.server.get();
    receiver->fakeMask = EV_RXCHAR;
    receiver->Arm(port.Device(), &sink, 0);
    ASSERT_TRUE(bench::pumpUntil([&] { return sink.starts.load() == 1; }, 3000)) << "the read was not reached";
    receiver->NotePurge();
    pipe.client.reset();
    Notice n;
    EXPECT_FALSE(sink.Next(n, 300)) << "reported: " << n.text;
    EXPECT_TRUE(receiver->WaitIdle(2000)) << "the cycle ended";
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, WaitOnADeviceThatIsNoLineGivesWaitErrorText)
{
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "tav", 0, path);
    UniqueFileHandle file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    ASSERT_TRUE(file);
    // The error that a wait on this handle gives.
    UniqueHandle ev(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED ov{};
    ov.hEvent = ev.get();
    DWORD mask = 0;
    ASSERT_FALSE(WaitCommEvent(file.get(), &mask, &ov));
    DWORD code = GetLastError();
    ASSERT_NE(code, DWORD(ERROR_IO_PENDING));

    receiver->Arm(file.get(), &sink, 0);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, std::string("WaitCommEvent error:(") + SysErrorText(code).Text() + ")");
    EXPECT_TRUE(receiver->WaitIdle(2000));
}

TEST_F(ReceiverLine, ReadSizeIsBoundedByTheBuffer)
{
    const int32_t asked[] = {0, -5, 100, 2048, 5000};
    const DWORD used[] = {2000, 2000, 100, 2048, 2048};
    for (int i = 0; i < 5; ++i) {
        receiver->Arm(port.Device(), &sink, asked[i]);
        Sleep(30);
        send("r");
        Notice n;
        ASSERT_TRUE(sink.Next(n, 3000));
        EXPECT_EQ(n.text, "r");
        EXPECT_EQ(receiver->lastReadSize.load(), used[i]) << asked[i];
        ASSERT_TRUE(receiver->WaitIdle(2000));
    }
}

TEST_F(ReceiverLine, NoSinkNoCrash)
{
    receiver->Arm(port.Device(), nullptr, 0);
    Sleep(30);
    send("lost");
    Sleep(300);
    EXPECT_TRUE(receiver->WaitIdle(2000));
    port.Purge();
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, AWaitThatSignalsItsEndButLeavesItsStatusRunningStillEnds)
{
    // Wine's event wait can end and signal before its issuing call writes "running" into the status.
    receiver->waitLosesStatus = true;
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(100);
    send("after");
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000)) << "the cycle never ended";
    EXPECT_EQ(n.code, 0) << n.text;
    EXPECT_EQ(n.text, "after");
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, ACycleADriverNeverEndsKeepsItsDeviceAndCommOnSaysItIsBusy)
{
    port.Close();
    auto owned = std::make_unique<SeamReceiver>();
    SeamReceiver& stuck = *owned;
    CommPort stuckPort(std::move(owned));
    boundedCopy(stuckPort.Settings().portName, bench::kLinePort);
    stuck.readNeverEnds = true;
    stuckPort.StartReceive(&sink, 0, 0);
    ASSERT_TRUE(stuckPort.IsOpen()) << stuckPort.ErrorText();
    const HANDLE device = stuckPort.Device();
    Sleep(50);
    stuckPort.Close();  // gives up on the cycle after its time limit
    EXPECT_FALSE(stuckPort.IsOpen());
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(device, &flags)) << "the handle was closed under the stuck cycle";

    const std::string busy = std::string("Communication error:(") + SysErrorText(ERROR_BUSY).Text() + ").";
    double t0 = bench::nowMs();
    stuckPort.StartReceive(&sink, 0, 0);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 0)) << "Comm On on a device still held said nothing";
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, busy);
    EXPECT_TRUE(stuckPort.Purge() == false && !stuckPort.IsOpen());
    EXPECT_LT(bench::nowMs() - t0, 1000.0) << "a call waited again for the stuck cycle";

    // Once the driver lets go, the device opens anew and receives.
    stuck.EndStuckRead();
    ASSERT_TRUE(stuck.WaitIdle(2000));
    stuckPort.StartReceive(&sink, 0, 0);
    ASSERT_TRUE(stuckPort.IsOpen()) << stuckPort.ErrorText();
    Sleep(50);
    send("free");
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.text, "free");
}

}  // namespace
