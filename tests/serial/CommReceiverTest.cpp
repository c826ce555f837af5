// The receive cycle's failure paths and seams, on the live pty line COM5 (far end COM6).
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include <cstring>
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

// A receiver whose device requests a test can replace, one cycle at a time, and whose reads
// behave as Windows' buffered-I/O serial drivers do: the driver fills a buffer of its own, copied
// into the program's only when the read succeeds; a cancelled or failed read reports its count
// and leaves the program's buffer as it was.
class SeamReceiver : public CommReceiver {
public:
    ~SeamReceiver() override
    {
        Stop();
        if (waitEnder_.joinable()) waitEnder_.join();
        if (copier_.joinable()) {
            CancelIoEx(lastReadOn_, nullptr);
            copier_.join();
        }
    }

    std::atomic<DWORD> fakeMask{0};        // non-zero: the wait completes at once with this mask
    std::atomic<int> emptyWaits{0};        // the next n waits end at once with an empty mask, unasked
    std::atomic<DWORD> errorFlags{0};      // reported once by ClearCommError after a read
    std::atomic<DWORD> failReadWith{0};    // non-zero: the read fails at once with this code
    std::atomic<int> zeroReads{0};         // the next n reads complete at once with nothing
    std::atomic<DWORD> failWaitWith{0};    // non-zero: the wait fails at once with this code
    std::atomic<HANDLE> readFrom{nullptr};  // set: the read is issued on this handle instead
    std::atomic<DWORD> lastReadSize{0};
    std::atomic<bool> readNeverEnds{false};  // set: the read stays pending until EndStuckRead
    // Set: the next wait ends with EV_RXCHAR and signals, its status word left saying running.
    std::atomic<bool> waitLosesStatus{false};

    // The driver completes the stuck read at last, with success and n bytes.
    void EndStuckRead(DWORD n = 0)
    {
        OVERLAPPED* o = stuckRead_.exchange(nullptr);
        if (!o) return;
        o->InternalHigh = n;
        o->Internal = 0;
        SetEvent(o->hEvent);
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
        if (zeroReads.load() > 0) {
            --zeroReads;
            overlapped->Internal = 0;
            overlapped->InternalHigh = 0;
            return TRUE;
        }
        HANDLE h = readFrom.load() ? readFrom.load() : device;
        if (copier_.joinable()) copier_.join();
        // Issued into the driver's buffer with an event of the double's; the program's event is
        // set once the copy (on success only) is done.
        const HANDLE programEvent = overlapped->hEvent;
        ResetEvent(systemEvent_.get());
        overlapped->hEvent = systemEvent_.get();
        BOOL done = ReadFile(h, system_, size, nullptr, overlapped);
        DWORD code = GetLastError();
        overlapped->hEvent = programEvent;
        lastReadOn_ = h;
        if (done) {
            std::memcpy(buffer, system_, overlapped->InternalHigh);
            return TRUE;
        }
        if (code == ERROR_IO_PENDING) {
            copier_ = std::thread([this, buffer, overlapped, programEvent] {
                WaitForSingleObject(systemEvent_.get(), INFINITE);
                if (overlapped->Internal == 0) std::memcpy(buffer, system_, overlapped->InternalHigh);
                SetEvent(programEvent);
            });
        }
        SetLastError(code);
        return FALSE;
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
        if (emptyWaits.load() > 0) {
            --emptyWaits;
            *mask = 0;
            return TRUE;
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
    bool ReadsLandInPlace() const override { return false; }
    BOOL ReadErrors(HANDLE device, DWORD* errors) override
    {
        BOOL ok = CommReceiver::ReadErrors(device, errors);
        *errors |= errorFlags.exchange(0);
        return ok;
    }

private:
    std::atomic<OVERLAPPED*> stuckRead_{nullptr};
    std::thread waitEnder_;
    std::thread copier_;
    HANDLE lastReadOn_ = INVALID_HANDLE_VALUE;
    UniqueHandle systemEvent_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    char system_[CommReceiver::kBufferSize];
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

    // A port of its own whose receiver is a seam, on the line of the fixture's port.
    struct SeamPort {
        std::unique_ptr<SeamReceiver> owned = std::make_unique<SeamReceiver>();
        SeamReceiver& seam = *owned;
        CommPort port{std::move(owned)};
        SeamPort() { boundedCopy(port.Settings().portName, bench::kLinePort); }
    };

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

TEST_F(ReceiverLine, AWaitFailingWhileTheReadTookBytesDeliversTheBytesThenTheFailure)
{
    receiver->failWaitWith = ERROR_ACCESS_DENIED;
    expectBytesThenFailure("\\\\.\\pipe\\tavrenix-wait-fails-with-bytes", "abc",
                           std::string("WaitCommEvent error:(") + SysErrorText(ERROR_ACCESS_DENIED).Text() + ")");
}

TEST_F(ReceiverLine, AReadCutAfterItTookBytesShowsNoneAndSaysHowManyWereCut)
{
    // A chunk read whole first: the buffer still holds it when the next read fails.
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(50);
    send("old chunk");
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.text, "old chunk");
    ASSERT_TRUE(receiver->WaitIdle(2000));
    // A read ended by a failure (a cancel that is no purge) after it took 3 bytes off the line.
    ASSERT_TRUE(port.SetReadTimeout(5000));
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(50);
    send("new");
    Sleep(200);
    CancelIoEx(port.Device(), nullptr);
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 1) << "bytes the line never delivered were shown: " << n.text;
    EXPECT_EQ(n.text, "Comm chunk cut:(3 bytes).");
    ASSERT_TRUE(receiver->WaitIdle(2000));
    receiver->Arm(port.Device(), &sink, 0);
    ASSERT_TRUE(sink.Next(n, 3000)) << "the failure was dropped";
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text.rfind("Comm read error:(", 0), 0u) << n.text;
    ASSERT_TRUE(port.SetReadTimeout(0));
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, CommOffLetsAChunkInFlightEndByItsTimeOutWithinTheBound)
{
    port.Close();
    SeamPort own;
    SeamReceiver& seam = own.seam;
    CommPort& p = own.port;
    // Characters are signalled as they come, as Windows' drivers do while a read is pending.
    seam.fakeMask = EV_RXCHAR;
    p.StartReceive(&sink, 0, 300);
    Sleep(50);
    send("in flight");
    Sleep(100);
    double t0 = bench::nowMs();
    ASSERT_TRUE(p.Purge());
    EXPECT_LT(bench::nowMs() - t0, 1000.0);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 1000));
    EXPECT_EQ(n.code, 0) << n.text;
    EXPECT_EQ(n.text, "in flight");
    // A time-out longer than the bound: the read is cancelled at the bound and the cut is told.
    p.StartReceive(&sink, 0, 5000);
    EXPECT_EQ(p.FinishBoundMs(), 2000u);
    Sleep(50);
    send("too slow");
    Sleep(100);
    t0 = bench::nowMs();
    ASSERT_TRUE(p.Purge());
    const double took = bench::nowMs() - t0;
    EXPECT_GT(took, 1800.0);
    EXPECT_LT(took, 3000.0);
    ASSERT_TRUE(sink.Next(n, 1000));
    EXPECT_EQ(n.code, 1) << n.text;
    EXPECT_EQ(n.text, "Comm chunk cut:(8 bytes).");
    EXPECT_FALSE(sink.Next(n, 200)) << "more than one notice: " << n.text;
}

TEST_F(ReceiverLine, EmptyEndingsNobodyAskedForStartOverAndTooManyAreAFailure)
{
    // A wait that ends with no event and reads of nothing: the receiver starts over, shows no
    // empty chunk, and the chunk that follows arrives.
    receiver->emptyWaits = 1;
    receiver->zeroReads = 2;
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(50);
    send("after");
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000)) << "the monitor went silent";
    EXPECT_EQ(n.code, 0);
    EXPECT_EQ(n.text, "after");
    ASSERT_TRUE(receiver->WaitIdle(2000));
    // Empty endings that go on are a failure, not a silent stop or a loop.
    receiver->emptyWaits = 100;
    receiver->Arm(port.Device(), &sink, 0);
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, "Comm receive error:(4 requests ended empty).");
    receiver->emptyWaits = 0;
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, BytesLostInTheDriverAreToldAfterTheChunkAndMonitoringGoesOn)
{
    receiver->errorFlags = CE_RXOVER;
    receiver->Arm(port.Device(), &sink, 0);
    Sleep(50);
    send("abc");
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.text, "abc");
    ASSERT_TRUE(receiver->WaitIdle(2000));
    receiver->Arm(port.Device(), &sink, 0);
    ASSERT_TRUE(sink.Next(n, 3000)) << "the loss was not told";
    EXPECT_EQ(n.code, 1);
    EXPECT_EQ(n.text, "Comm input lost:(1).");
    expectCleanNextCycle();
}

TEST_F(ReceiverLine, TakingWaitingBytesGivesUpOnAReadThatNeverEnds)
{
    port.Close();
    SeamPort own;
    SeamReceiver& seam = own.seam;
    CommPort& p = own.port;
    ASSERT_TRUE(p.Open()) << p.ErrorText();
    send("waiting");
    Sleep(200);
    seam.readNeverEnds = true;
    char got[64];
    double t0 = bench::nowMs();
    EXPECT_EQ(p.TakeWaiting(got, sizeof got), 0);
    EXPECT_LT(bench::nowMs() - t0, 2000.0) << "the window's thread waited on for a cancelled read";
    seam.EndStuckRead();
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

TEST_F(ReceiverLine, CycleOnADeviceThatIsNoLineGivesMaskErrorText)
{
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "tav", 0, path);
    UniqueFileHandle file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    ASSERT_TRUE(file);
    // The error that setting the cycle's mask on this handle gives.
    ASSERT_FALSE(SetCommMask(file.get(), CommReceiver::kEventMask));
    DWORD code = GetLastError();

    receiver->Arm(file.get(), &sink, 0);
    Notice n;
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.text, std::string("SetCommMask error:(") + SysErrorText(code).Text() + ")");
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
    SeamPort own;
    SeamReceiver& stuck = own.seam;
    CommPort& stuckPort = own.port;
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

    // The driver lets go at last, with bytes: the abandoned cycle's delivery is dropped.
    stuck.EndStuckRead(5);
    ASSERT_TRUE(stuck.WaitIdle(2000));
    EXPECT_FALSE(sink.Next(n, 200)) << "the abandoned cycle wrote the notice: " << n.code << " " << n.text;
    // The device opens anew and receives.
    stuckPort.StartReceive(&sink, 0, 0);
    ASSERT_TRUE(stuckPort.IsOpen()) << stuckPort.ErrorText();
    Sleep(50);
    send("free");
    ASSERT_TRUE(sink.Next(n, 3000));
    EXPECT_EQ(n.text, "free");
}

}  // namespace
