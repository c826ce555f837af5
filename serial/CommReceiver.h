// The reader of the monitored line: one receive cycle per arming, on a worker thread of its own.
#pragma once
#include <windows.h>
#include <atomic>
#include <cstdint>
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

    // One receive cycle on the armed values (purges: the purge count at arming); false when the
    // stop event ended it.
    bool Cycle(HANDLE device, CommSink* sink, int32_t readSize, uint32_t purges);
    // A failed wait that only says the port cleared the mask under it (Purge, Close): no report.
    bool EndedByEmptyMask(HANDLE device) const;
    // Ends what the cycle still has outstanding and collects it, so nothing is reused in flight.
    void Settle(HANDLE device);
    void Deliver(CommSink* sink, Outcome outcome);

    std::atomic<HANDLE> device_{INVALID_HANDLE_VALUE};
    std::atomic<CommSink*> sink_{nullptr};
    std::atomic<int32_t> readSize_{kDefaultReadSize};
    char buffer_[kBufferSize];
    UniqueHandle startEvent_;
    UniqueHandle waitEvent_;
    UniqueHandle readEvent_;
    UniqueHandle idleEvent_;  // manual reset: set while no cycle is armed or running
    std::mutex armLock_;
    bool armed_ = false;      // armed, and the cycle for it has not begun
    uint32_t armedAtPurge_ = 0;
    // Kept in the object, not on the stack: they must outlive anything still in flight.
    OverlappedOp waitOp_;
    OverlappedOp readOp_;
    DWORD mask_ = 0;
    DWORD heldLineMask_ = 0;  // a line error whose cycle delivered bytes first
    uint32_t heldAtPurge_ = 0;
    std::atomic<uint32_t> purges_{0};
};
