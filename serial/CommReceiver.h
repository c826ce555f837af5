// The reader of the monitored line: one receive cycle per arming, on a worker thread of its own.
#pragma once
#include <windows.h>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include "framework/UniqueHandle.h"
#include "serial/OverlappedOp.h"
#include "serial/WorkerThread.h"

class CommSink;

class CommReceiver : public WorkerThread {
public:
    static constexpr int32_t kBufferSize = 2048;
    static constexpr int32_t kDefaultReadSize = 2000;
    static constexpr DWORD kEventMask = EV_RXCHAR | EV_ERR;

    CommReceiver();
    ~CommReceiver() override;

    // Hands over the device, sink and read size (0 or less: 2000; at most 2048), then starts a cycle.
    void Arm(HANDLE device, CommSink* sink, int32_t readSize);

    // Waits up to timeoutMs until no armed cycle is left; true when idle.
    bool WaitIdle(DWORD timeoutMs) const;

    // Why the thread is gone (it did not start, or its wait failed); ERROR_OPERATION_ABORTED when
    // it ended otherwise. Meaningful only while ThreadAlive() is false.
    DWORD ThreadFailure() const;

    // Called by the port before it purges or closes the device: a request that fails after this
    // was ended by the port (under Wine a purged read can even end as "Broken pipe"), not by the line.
    void NotePurge() { purges_.fetch_add(1); }

    // Asks the running cycle to end (it counts as a purge): a cycle whose wait has not reported
    // characters ends at once; once it has, its read runs on to its own end for up to boundMs
    // from the first request, and is cancelled past it (the cut is told). Does not wait.
    void RequestEnd(DWORD boundMs);
    // The armed read size.
    int32_t ReadSize() const { return readSize_.load(); }
    // The port gave up on the running cycle: whatever it delivers when it ends late is dropped,
    // so it never writes the sink while the port reports through it. Undone by the next Arm.
    void Detach();

    // More empty endings in a row (a wait with no event the port did not ask for, a read of
    // nothing) than this is a failure.
    static constexpr int kMaxEmptyEnds = 3;

    // The device's read, also for the port's reads at Comm Off. Virtual so that a line condition a
    // pty cannot raise (a failing read, a driver's buffered I/O) can be driven through it.
    virtual BOOL IssueRead(HANDLE device, void* buffer, DWORD size, OVERLAPPED* overlapped);
    // Whether a read writes its bytes into the program's buffer as they arrive, so that a read
    // that fails or is cancelled still holds the bytes it counts. Windows' serial drivers use
    // buffered I/O (the buffer is filled only when the read succeeds): false there. Wine reads
    // straight into the buffer: true under Wine.
    virtual bool ReadsLandInPlace() const;

protected:
    bool Step() override;

    // The wait and the error flags of a cycle, virtual for the same reason.
    virtual BOOL IssueWait(HANDLE device, DWORD* mask, OVERLAPPED* overlapped);
    virtual BOOL ReadErrors(HANDLE device, DWORD* errors);

private:
    enum class Outcome { Nothing, Data, WaitError, LineError, ReadError, MaskError, EmptyEnds };
    static constexpr size_t kReportSize = 256;

    // What a cycle lends the device. On the heap: a request that a driver never completes keeps
    // it (leaked deliberately) instead of having it freed or prepared again under it.
    struct Flight {
        Flight();
        bool Pending() const { return waitOp.Pending() || readOp.Pending(); }
        UniqueHandle waitEvent;
        UniqueHandle readEvent;
        OverlappedOp waitOp;
        OverlappedOp readOp;
        DWORD mask = 0;
        DWORD maskError = 0;  // SetCommMask's error when the cycle could not set its mask
        char buffer[kBufferSize];
    };

    // One receive cycle on the armed values (purges: the purge count at arming); false when the
    // stop event ended it.
    bool Cycle(HANDLE device, CommSink* sink, int32_t readSize, uint32_t purges);
    // A failed wait that only says the port cleared the mask under it (Purge, Close): no report.
    bool EndedByEmptyMask(HANDLE device) const;
    // Ends what the cycle still has outstanding and collects it, so nothing is reused in flight.
    void Settle(HANDLE device);
    // Sets the cycle's mask and issues its wait; false when the mask cannot be set.
    bool IssueCycleWait(HANDLE device);
    // Waits for the read alone after characters arrived; an end request gives it until the
    // bound. Returns 0 (collected), 1 (stop event) or kTimedOut (past the bound, still pending).
    int AwaitRead();
    // The report of a failed outcome, as the sink gets it.
    void Describe(Outcome outcome, char (&text)[kReportSize]) const;
    // Hands one notice to the sink unless the cycle was detached (text null: the chunk).
    void Tell(CommSink* sink, int32_t code, const char* text);
    // Holds a report for the next arming (messages survive a purge, failures do not).
    void Hold(int32_t code, const char* text, uint32_t purges);

    std::atomic<HANDLE> device_{INVALID_HANDLE_VALUE};
    std::atomic<CommSink*> sink_{nullptr};
    std::atomic<int32_t> readSize_{kDefaultReadSize};
    UniqueHandle startEvent_;
    UniqueHandle idleEvent_;  // manual reset: set while no cycle is armed or running
    std::mutex armLock_;
    bool armed_ = false;      // armed, and the cycle for it has not begun
    uint32_t armedAtPurge_ = 0;
    std::unique_ptr<Flight> flight_;
    // Reports a cycle could not deliver with its first (the chunk, a cut): told at the next
    // arming, in order.
    struct HeldReport {
        int32_t code = 0;
        char text[kReportSize] = {};
        uint32_t atPurge = 0;
    };
    HeldReport held_[2];
    int heldCount_ = 0;
    UniqueHandle endEvent_;            // set by RequestEnd
    std::atomic<DWORD> endBy_{0};      // tick count by which a read holding bytes must end
    std::atomic<bool> endAsked_{false};
    bool detached_ = false;            // under armLock_
    std::atomic<uint32_t> purges_{0};
    std::atomic<DWORD> threadFailure_{0};
};
