#include "serial/CommReceiver.h"
#include "serial/CommNotice.h"

static_assert(CommReceiver::kBufferSize < CommNotice::kTextSize, "a notice holds a whole read");

#include <cstdio>
#include "framework/BoundedCopy.h"
#include "serial/CommSink.h"
#include "serial/SysErrorText.h"

namespace {

// How long the destructor gives a terminated cycle's requests to end before it leaves them be.
constexpr DWORD kAbandonWaitMs = 1000;
// How long one round of ending a cycle's requests waits before it asks again.
constexpr DWORD kSettleRoundMs = 50;

}  // namespace

CommReceiver::Flight::Flight()
    : waitEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)), readEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    // Each wait's signal is collected before the next is issued, so a signal is always its end.
    waitOp.signalEnds = true;
}

CommReceiver::CommReceiver()
    : startEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      idleEvent_(CreateEventA(nullptr, TRUE, TRUE, nullptr)),
      flight_(std::make_unique<Flight>())
{
    if (!Start(0)) {
        DWORD code = GetLastError();
        threadFailure_.store(code ? code : ERROR_GEN_FAILURE);
    }
}

CommReceiver::~CommReceiver()
{
    Stop();
    Flight& f = *flight_;
    if (!f.Pending()) return;
    // Only a terminated cycle leaves these: end them before the records go away.
    HANDLE device = f.waitOp.Pending() ? f.waitOp.device : f.readOp.device;
    SetCommMask(device, 0);
    CancelIoEx(device, nullptr);
    bool done = f.waitOp.CollectWithin(kAbandonWaitMs);
    done = f.readOp.CollectWithin(kAbandonWaitMs) && done;
    // A driver that never completes still owns the records, buffer and events: never free them.
    if (!done) flight_.release();
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

DWORD CommReceiver::ThreadFailure() const
{
    DWORD code = threadFailure_.load();
    return code ? code : ERROR_OPERATION_ABORTED;
}

bool CommReceiver::Step()
{
    HANDLE handles[2] = {StopEvent(), startEvent_.get()};
    DWORD r = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (r != WAIT_OBJECT_0 + 1) {
        CommSink* orphaned = nullptr;
        if (r != WAIT_OBJECT_0) {
            // The wait failed: the thread ends, and an arming it can no longer serve hears why.
            DWORD code = GetLastError();
            threadFailure_.store(code ? code : ERROR_GEN_FAILURE);
            std::lock_guard<std::mutex> guard(armLock_);
            if (armed_) orphaned = sink_.load();
            armed_ = false;
        }
        if (orphaned) {
            char text[kReportSize];
            std::snprintf(text, sizeof text, "Communication error:(%s).", SysErrorText(ThreadFailure()).Text());
            orphaned->OnStatus(CommSink::kCodeFailure, text);
        }
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
    if (held_[0] != '\0') {
        char held[kReportSize];
        boundedCopy(held, held_);
        held_[0] = '\0';
        // Unless Comm was switched since: then it belongs to a session that is over.
        if (heldAtPurge_ == purges) {
            if (sink) sink->OnStatus(CommSink::kCodeFailure, held);
            return true;
        }
    }
    Flight& f = *flight_;
    f.waitOp.Prepare(device, f.waitEvent.get());
    f.readOp.Prepare(device, f.readEvent.get());
    f.mask = 0;
    SetCommMask(device, 0);
    SetCommMask(device, kEventMask);
    f.waitOp.Issued(IssueWait(device, &f.mask, &f.waitOp.overlapped));
    f.readOp.Issued(IssueRead(device, f.buffer, DWORD(readSize), &f.readOp.overlapped));

    HANDLE stop = StopEvent();
    OverlappedOp* both[2] = {&f.waitOp, &f.readOp};
    Outcome outcome = Outcome::Nothing;
    bool go = true;
    switch (OverlappedOp::WaitAny(both, 2, &stop, 1)) {
    case 0:
        // A wait whose status word was left saying running reports through its mask alone.
        if (f.waitOp.statusLost && f.mask != 0) f.waitOp.ok = TRUE;
        if (!f.waitOp.ok) {
            if (!EndedByEmptyMask(device)) outcome = Outcome::WaitError;
        } else if (f.mask == 0) {
            // The port cleared the mask while the wait was pending.
        } else if (!(f.mask & EV_RXCHAR)) {
            outcome = Outcome::LineError;
        } else {
            if (sink) sink->OnReceiveStart();
            OverlappedOp* read[1] = {&f.readOp};
            if (OverlappedOp::WaitAny(read, 1, &stop, 1) == 1)
                go = false;
            else
                outcome = f.readOp.ok ? Outcome::Data : Outcome::ReadError;
        }
        break;
    case 1:
        // The read came first: clearing the mask ends the wait, which Settle collects.
        SetCommMask(device, 0);
        if (f.readOp.ok) {
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
    // Bytes a read took before it ended (Comm Off, a failing line) go out first; a failure seen in
    // the same cycle follows at the next arming, so neither is lost.
    if (outcome != Outcome::Data && f.readOp.bytes > 0) {
        if (outcome != Outcome::Nothing) {
            Describe(outcome, held_);
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
    if (flight_->mask != 0) return false;
    // Only a mask cleared by the port ends a wait silently (Wine: as aborted); a wait aborted
    // while the cycle's mask still stands is a lost device, which must be reported.
    DWORD current = 0;
    return GetCommMask(device, &current) && current == 0;
}

void CommReceiver::Settle(HANDLE device)
{
    Flight& f = *flight_;
    // Repeated until collected: a request issued a moment ago may not have reached the driver yet.
    while (f.waitOp.Pending()) {
        // CancelIoEx cannot end Wine's wait; an empty mask ends it everywhere.
        SetCommMask(device, 0);
        f.waitOp.CollectWithin(kSettleRoundMs);
    }
    while (f.readOp.Pending()) {
        // A purge does not end a read under Wine; cancelling does. Its count stays in readOp.
        CancelIoEx(device, &f.readOp.overlapped);
        f.readOp.CollectWithin(kSettleRoundMs);
    }
}

void CommReceiver::Describe(Outcome outcome, char (&text)[kReportSize]) const
{
    const Flight& f = *flight_;
    text[0] = '\0';
    switch (outcome) {
    case Outcome::WaitError:
        std::snprintf(text, sizeof text, "WaitCommEvent error:(%s)", SysErrorText(f.waitOp.error).Text());
        break;
    case Outcome::LineError:
        std::snprintf(text, sizeof text, "Comm Line error:(%lx).", static_cast<unsigned long>(f.mask));
        break;
    case Outcome::ReadError:
        std::snprintf(text, sizeof text, "Comm read error:(%s).\n", SysErrorText(f.readOp.error).Text());
        break;
    default:
        break;
    }
}

void CommReceiver::Deliver(CommSink* sink, Outcome outcome)
{
    if (!sink || outcome == Outcome::Nothing) return;
    if (outcome == Outcome::Data) {
        sink->OnData(flight_->buffer, int32_t(flight_->readOp.bytes));
        return;
    }
    char text[kReportSize];
    Describe(outcome, text);
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
