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
      flight_(std::make_unique<Flight>()),
      endEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
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
    detached_ = false;
    endAsked_.store(false);
    ResetEvent(endEvent_.get());
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
    if (heldCount_ > 0) {
        HeldReport held = held_[0];
        held_[0] = held_[1];
        --heldCount_;
        // A failure held across a Comm switch belongs to a session that is over; a message does not.
        if (held.code != CommSink::kCodeFailure || held.atPurge == purges) {
            Tell(sink, held.code, held.text);
            return true;
        }
    }
    Flight& f = *flight_;
    HANDLE extra[2] = {StopEvent(), endEvent_.get()};
    OverlappedOp* both[2] = {&f.waitOp, &f.readOp};
    Outcome outcome = Outcome::Nothing;
    bool go = true;
    int empties = 0;
    bool again = true;
    while (again) {
        again = false;
        const bool readIdle = !f.readOp.Pending();
        if (readIdle) f.readOp.Prepare(device, f.readEvent.get());
        if (!IssueCycleWait(device)) {
            outcome = Outcome::MaskError;
            break;
        }
        // A read still running from an empty ending goes on: it may already hold bytes.
        if (readIdle) f.readOp.Issued(IssueRead(device, f.buffer, DWORD(readSize), &f.readOp.overlapped));
        int r = OverlappedOp::WaitAny(both, 2, extra, 2);
        if (r == 0) {
            // A wait whose status word was left saying running reports through its mask alone.
            if (f.waitOp.statusLost && f.mask != 0) f.waitOp.ok = TRUE;
            const bool empty = f.waitOp.ok ? f.mask == 0 : EndedByEmptyMask(device);
            if (empty) {
                // Only a mask the port cleared ends a cycle without a word; any other empty
                // ending starts the wait again, a few times.
                if (purges == purges_.load()) {
                    again = ++empties <= kMaxEmptyEnds;
                    if (!again) outcome = Outcome::EmptyEnds;
                }
            } else if (!f.waitOp.ok) {
                outcome = Outcome::WaitError;
            } else if (!(f.mask & EV_RXCHAR)) {
                outcome = Outcome::LineError;
            } else {
                Tell(sink, -1, nullptr);
                r = AwaitRead();
                if (r == 1) go = false;
                if (r == 0) outcome = f.readOp.ok ? Outcome::Data : Outcome::ReadError;
            }
        } else if (r == 1) {
            // The read came first: clearing the mask ends the wait, which Settle collects.
            SetCommMask(device, 0);
            if (f.readOp.ok) {
                Tell(sink, -1, nullptr);
                outcome = Outcome::Data;
            } else {
                outcome = Outcome::ReadError;
            }
        } else if (r == 2) {
            go = false;
        }
        // r == 3: the port asked the cycle to end before a character came.
        if (outcome == Outcome::Data && f.readOp.bytes == 0) {
            // A read of nothing is no chunk: read again, a few times.
            outcome = Outcome::Nothing;
            if (go && purges == purges_.load()) {
                Settle(device);
                again = ++empties <= kMaxEmptyEnds;
                if (!again) outcome = Outcome::EmptyEnds;
            }
        }
    }
    // A request the port's purge ended (Comm On or Off) is no failure of the line.
    if (outcome != Outcome::Data && outcome != Outcome::Nothing && purges != purges_.load())
        outcome = Outcome::Nothing;
    // Nothing may be in flight once the sink hears of the cycle: it may re-arm or close at once.
    Settle(device);
    if (!go) return false;
    // On Windows a read that did not succeed left the buffer as it was (buffered I/O): its count
    // proves nothing, so its bytes are never shown, only counted.
    char text[kReportSize];
    const bool valid = f.readOp.ok || ReadsLandInPlace();
    const DWORD cut = valid ? 0 : f.readOp.bytes;
    const bool data = valid && f.readOp.bytes > 0;
    if (data) {
        DWORD errors = 0;
        // Bytes the driver dropped (its queue full, the hardware overrun) are told after the chunk.
        if (ReadErrors(device, &errors) && (errors & (CE_RXOVER | CE_OVERRUN))) {
            std::snprintf(text, sizeof text, "Comm input lost:(%lx).", static_cast<unsigned long>(errors));
            Hold(CommSink::kCodeMessage, text, purges);
        }
    }
    // Bytes a read delivered while the cycle failed (it completed before the cancel), or the cut,
    // go out first; the failure follows at the next arming.
    if (outcome != Outcome::Data && outcome != Outcome::Nothing && (data || cut)) {
        Describe(outcome, text);
        Hold(CommSink::kCodeFailure, text, purges);
        outcome = Outcome::Nothing;
    }
    if (data) {
        if (outcome != Outcome::Data) Tell(sink, -1, nullptr);
        Tell(sink, CommSink::kCodeData, nullptr);
        return true;
    }
    if (cut) {
        std::snprintf(text, sizeof text, "Comm chunk cut:(%lu bytes).", static_cast<unsigned long>(cut));
        Tell(sink, CommSink::kCodeMessage, text);
        return true;
    }
    if (outcome != Outcome::Nothing) {
        Describe(outcome, text);
        Tell(sink, CommSink::kCodeFailure, text);
    }
    return true;
}

bool CommReceiver::IssueCycleWait(HANDLE device)
{
    Flight& f = *flight_;
    f.waitOp.Prepare(device, f.waitEvent.get());
    f.mask = 0;
    SetCommMask(device, 0);
    if (!SetCommMask(device, kEventMask)) {
        f.maskError = GetLastError();
        return false;
    }
    f.waitOp.Issued(IssueWait(device, &f.mask, &f.waitOp.overlapped));
    return true;
}

int CommReceiver::AwaitRead()
{
    Flight& f = *flight_;
    OverlappedOp* read[1] = {&f.readOp};
    HANDLE extra[2] = {StopEvent(), endEvent_.get()};
    // Checked first: the request may have come, and been taken, before the characters.
    int r = endAsked_.load() ? 2 : OverlappedOp::WaitAny(read, 1, extra, 2);
    if (r == 2) {
        // Asked to end: the chunk runs on to its own interval time-out, so that it completes
        // with success and its bytes reach the buffer, within the bound.
        const DWORD now = GetTickCount();
        const DWORD by = endBy_.load();
        const DWORD left = int32_t(by - now) > 0 ? by - now : 0;
        r = OverlappedOp::WaitAny(read, 1, extra, 1, left);
    }
    return r;
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
    case Outcome::MaskError:
        std::snprintf(text, sizeof text, "SetCommMask error:(%s)", SysErrorText(f.maskError).Text());
        break;
    case Outcome::EmptyEnds:
        std::snprintf(text, sizeof text, "Comm receive error:(%d requests ended empty).", kMaxEmptyEnds + 1);
        break;
    default:
        break;
    }
}

void CommReceiver::Tell(CommSink* sink, int32_t code, const char* text)
{
    std::lock_guard<std::mutex> guard(armLock_);
    if (!sink || detached_) return;
    if (code < 0)
        sink->OnReceiveStart();
    else if (!text)
        sink->OnData(flight_->buffer, int32_t(flight_->readOp.bytes));
    else
        sink->OnStatus(code, text);
}

void CommReceiver::Hold(int32_t code, const char* text, uint32_t purges)
{
    if (heldCount_ >= 2) return;
    HeldReport& h = held_[heldCount_++];
    h.code = code;
    boundedCopy(h.text, text);
    h.atPurge = purges;
}

void CommReceiver::RequestEnd(DWORD boundMs)
{
    const DWORD by = GetTickCount() + boundMs;
    // A later request may shorten the bound, never lengthen it.
    if (!endAsked_.exchange(true) || int32_t(by - endBy_.load()) < 0) endBy_.store(by);
    purges_.fetch_add(1);
    SetEvent(endEvent_.get());
}

void CommReceiver::Detach()
{
    std::lock_guard<std::mutex> guard(armLock_);
    detached_ = true;
}

bool CommReceiver::ReadsLandInPlace() const
{
    // Wine's ntdll exports its version; Windows' does not.
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

BOOL CommReceiver::ReadErrors(HANDLE device, DWORD* errors)
{
    return ClearCommError(device, errors, nullptr);
}

BOOL CommReceiver::IssueWait(HANDLE device, DWORD* mask, OVERLAPPED* overlapped)
{
    return WaitCommEvent(device, mask, overlapped);
}

BOOL CommReceiver::IssueRead(HANDLE device, void* buffer, DWORD size, OVERLAPPED* overlapped)
{
    return ReadFile(device, buffer, size, nullptr, overlapped);
}
