#include "serial/CommReceiver.h"
#include "serial/CommNotice.h"

static_assert(CommReceiver::kBufferSize < CommNotice::kTextSize, "a notice holds a whole read");

#include <cstdio>
#include "serial/CommSink.h"
#include "serial/SysErrorText.h"

CommReceiver::CommReceiver()
    : startEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      waitEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      readEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      idleEvent_(CreateEventA(nullptr, TRUE, TRUE, nullptr))
{
    Start(0);
}

CommReceiver::~CommReceiver()
{
    Stop();
    if (waitOp_.Pending() || readOp_.Pending()) {
        // Only a terminated cycle leaves these: end them before the records go away.
        HANDLE device = waitOp_.Pending() ? waitOp_.device : readOp_.device;
        SetCommMask(device, 0);
        CancelIoEx(device, nullptr);
        if (waitOp_.Pending()) WaitForSingleObject(waitOp_.overlapped.hEvent, 1000);
        if (readOp_.Pending()) WaitForSingleObject(readOp_.overlapped.hEvent, 1000);
    }
}

void CommReceiver::Arm(HANDLE device, CommSink* sink, int32_t readSize)
{
    if (readSize <= 0) readSize = kDefaultReadSize;
    if (readSize > kBufferSize) readSize = kBufferSize;
    device_.store(device);
    sink_.store(sink);
    readSize_.store(readSize);
    std::lock_guard<std::mutex> guard(armLock_);
    armed_ = true;
    // Taken at arming: a purge after this, even one before the cycle begins, ends this cycle.
    armedAtPurge_ = purges_.load();
    ResetEvent(idleEvent_.get());
    SetEvent(startEvent_.get());
}

bool CommReceiver::WaitIdle(DWORD timeoutMs) const
{
    return WaitForSingleObject(idleEvent_.get(), timeoutMs) == WAIT_OBJECT_0;
}

bool CommReceiver::Step()
{
    HANDLE handles[2] = {StopEvent(), startEvent_.get()};
    DWORD r = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (r != WAIT_OBJECT_0 + 1) {
        // Stopped (or the events are unusable): no cycle will run.
        SetEvent(idleEvent_.get());
        return false;
    }
    uint32_t purges = 0;
    {
        std::lock_guard<std::mutex> guard(armLock_);
        armed_ = false;
        purges = armedAtPurge_;
    }
    bool go = Cycle(device_.load(), sink_.load(), readSize_.load(), purges);
    std::lock_guard<std::mutex> guard(armLock_);
    if (!armed_ || !go) SetEvent(idleEvent_.get());
    return go;
}

bool CommReceiver::Cycle(HANDLE device, CommSink* sink, int32_t readSize, uint32_t purges)
{
    if (heldLineMask_ != 0) {
        const DWORD held = heldLineMask_;
        heldLineMask_ = 0;
        // Unless Comm was switched since: then it belongs to a session that is over.
        if (heldAtPurge_ == purges) {
            mask_ = held;
            Deliver(sink, Outcome::LineError);
            return true;
        }
    }
    waitOp_.Prepare(device, waitEvent_.get());
    readOp_.Prepare(device, readEvent_.get());
    mask_ = 0;
    SetCommMask(device, 0);
    SetCommMask(device, kEventMask);
    waitOp_.Issued(IssueWait(device, &mask_, &waitOp_.overlapped));
    readOp_.Issued(IssueRead(device, buffer_, DWORD(readSize), &readOp_.overlapped));

    HANDLE stop = StopEvent();
    OverlappedOp* both[2] = {&waitOp_, &readOp_};
    Outcome outcome = Outcome::Nothing;
    bool go = true;
    switch (OverlappedOp::WaitAny(both, 2, &stop, 1)) {
    case 0:
        if (!waitOp_.ok) {
            if (!EndedByEmptyMask(device)) outcome = Outcome::WaitError;
        } else if (mask_ == 0) {
            // The port cleared the mask while the wait was pending.
        } else if (!(mask_ & EV_RXCHAR)) {
            outcome = Outcome::LineError;
        } else {
            if (sink) sink->OnReceiveStart();
            OverlappedOp* read[1] = {&readOp_};
            if (OverlappedOp::WaitAny(read, 1, &stop, 1) == 1)
                go = false;
            else
                outcome = readOp_.ok ? Outcome::Data : Outcome::ReadError;
        }
        break;
    case 1:
        // The read came first: clearing the mask ends the wait, which Settle collects.
        SetCommMask(device, 0);
        if (readOp_.ok) {
            if (sink) sink->OnReceiveStart();
            outcome = Outcome::Data;
        } else {
            outcome = Outcome::ReadError;
        }
        break;
    case 2:
        go = false;
        break;
    default:
        break;
    }
    // A request the port's purge ended (Comm On or Off) is no failure of the line.
    if ((outcome == Outcome::ReadError || outcome == Outcome::WaitError) && purges != purges_.load())
        outcome = Outcome::Nothing;
    // Nothing may be in flight once the sink hears of the cycle: it may re-arm or close at once.
    Settle(device);
    if (!go) return false;
    // Bytes a read took before it was ended (Comm Off, a failing line) go out first; a line error
    // seen in the same cycle follows with the next one, so neither is lost.
    if (outcome != Outcome::Data && readOp_.bytes > 0) {
        if (outcome == Outcome::LineError) {
            heldLineMask_ = mask_;
            heldAtPurge_ = purges;
        }
        if (sink) sink->OnReceiveStart();
        outcome = Outcome::Data;
    }
    Deliver(sink, outcome);
    return true;
}

bool CommReceiver::EndedByEmptyMask(HANDLE device) const
{
    if (mask_ != 0) return false;
    // Only a mask cleared by the port ends a wait silently (Wine: as aborted); a wait aborted
    // while the cycle's mask still stands is a lost device, which must be reported.
    DWORD current = 0;
    return GetCommMask(device, &current) && current == 0;
}

void CommReceiver::Settle(HANDLE device)
{
    if (waitOp_.Pending()) {
        // CancelIoEx cannot end Wine's wait; an empty mask ends it everywhere.
        SetCommMask(device, 0);
        waitOp_.Collect();
    }
    if (readOp_.Pending()) {
        // A purge does not end a read under Wine; cancelling does. Its count stays in readOp_.
        CancelIoEx(device, &readOp_.overlapped);
        readOp_.Collect();
    }
}

void CommReceiver::Deliver(CommSink* sink, Outcome outcome)
{
    if (!sink) return;
    char text[256];
    switch (outcome) {
    case Outcome::Nothing:
        return;
    case Outcome::Data:
        sink->OnData(buffer_, int32_t(readOp_.bytes));
        return;
    case Outcome::WaitError:
        std::snprintf(text, sizeof text, "WaitCommEvent error:(%s)", SysErrorText(waitOp_.error).Text());
        break;
    case Outcome::LineError:
        std::snprintf(text, sizeof text, "Comm Line error:(%lx).", static_cast<unsigned long>(mask_));
        break;
    case Outcome::ReadError:
        std::snprintf(text, sizeof text, "Comm read error:(%s).\n", SysErrorText(readOp_.error).Text());
        break;
    }
    sink->OnStatus(CommSink::kCodeFailure, text);
}

BOOL CommReceiver::IssueWait(HANDLE device, DWORD* mask, OVERLAPPED* overlapped)
{
    return WaitCommEvent(device, mask, overlapped);
}

BOOL CommReceiver::IssueRead(HANDLE device, void* buffer, DWORD size, OVERLAPPED* overlapped)
{
    return ReadFile(device, buffer, size, nullptr, overlapped);
}
