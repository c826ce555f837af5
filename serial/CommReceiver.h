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

protected:
    bool Step() override;

    // The two device requests of a cycle. Virtual so that a line condition a pty cannot raise
    // (an error event, a failing read) can be driven through the same cycle.
    virtual BOOL IssueWait(HANDLE device, DWORD* mask, OVERLAPPED* overlapped);
    virtual BOOL IssueRead(HANDLE device, void* buffer, DWORD size, OVERLAPPED* overlapped);

private:
    enum class Outcome { Nothing, Data, WaitError, LineError, ReadError };
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
        char buffer[kBufferSize];
    };

    // One receive cycle on the armed values (purges: the purge count at arming); false when the
    // stop event ended it.
    bool Cycle(HANDLE device, CommSink* sink, int32_t readSize, uint32_t purges);
    // A failed wait that only says the port cleared the mask under it (Purge, Close): no report.
    bool EndedByEmptyMask(HANDLE device) const;
    // Ends what the cycle still has outstanding and collects it, so nothing is reused in flight.
    void Settle(HANDLE device);
    // The report of a failed outcome, as the sink gets it.
    void Describe(Outcome outcome, char (&text)[kReportSize]) const;
    void Deliver(CommSink* sink, Outcome outcome);

    std::atomic<HANDLE> device_{INVALID_HANDLE_VALUE};
    std::atomic<CommSink*> sink_{nullptr};
    std::atomic<int32_t> readSize_{kDefaultReadSize};
    UniqueHandle startEvent_;
    UniqueHandle idleEvent_;  // manual reset: set while no cycle is armed or running
    std::mutex armLock_;
    bool armed_ = false;      // armed, and the cycle for it has not begun
    uint32_t armedAtPurge_ = 0;
    std::unique_ptr<Flight> flight_;
    // A failure whose cycle delivered the bytes its read held first: reported at the next arming.
    char held_[kReportSize] = {};
    uint32_t heldAtPurge_ = 0;
    std::atomic<uint32_t> purges_{0};
    std::atomic<DWORD> threadFailure_{0};
};
