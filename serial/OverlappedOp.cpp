#include "serial/OverlappedOp.h"

void OverlappedOp::Prepare(HANDLE dev, HANDLE event)
{
    device = dev;
    ok = FALSE;
    error = 0;
    bytes = 0;
    outstanding = false;
    statusLost = false;
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event;
    // A stale signal would make the wait collect a running operation without the stop event.
    if (event) ResetEvent(event);
}

void OverlappedOp::Issued(BOOL result)
{
    ok = result;
    error = result ? 0 : GetLastError();
    outstanding = !result && error == ERROR_IO_PENDING;
    if (result) {
        DWORD n = 0;
        // Completed at once: the count is in the record.
        if (GetOverlappedResult(device, &overlapped, &n, FALSE)) bytes = n;
    }
}

namespace {

// How long a completion signal may run ahead of the status word before it counts as stale.
constexpr int kStatusLagMs = 1000;

}  // namespace

bool OverlappedOp::CollectWithin(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (outstanding && GetTickCount() - start < timeoutMs) {
        DWORD left = timeoutMs - (GetTickCount() - start);
        if (WaitForSingleObject(overlapped.hEvent, left) == WAIT_OBJECT_0) Finish();
    }
    return !outstanding;
}

bool OverlappedOp::Finish()
{
    // The event can come a moment before the status word; the event is consumed, so poll.
    for (int i = 0; i < (signalEnds ? 0 : kStatusLagMs); ++i) {
        if (TryFinish()) return true;
        Sleep(1);
    }
    if (TryFinish()) return true;
    if (signalEnds) {
        // The signal was its end; its result is in what the request wrote, not in the status word.
        outstanding = false;
        statusLost = true;
        ok = FALSE;
        error = ERROR_OPERATION_ABORTED;
        return true;
    }
    // Still running: the signal was a late one of the record's previous request.
    return false;
}

bool OverlappedOp::TryFinish()
{
    if (!outstanding) return true;
    DWORD n = 0;
    BOOL done = GetOverlappedResult(device, &overlapped, &n, FALSE);
    if (!done && GetLastError() == ERROR_IO_INCOMPLETE) return false;
    outstanding = false;
    // A cancelled or failed read still reports what it had already read.
    bytes = n;
    if (done) {
        ok = TRUE;
        error = 0;
    } else {
        ok = FALSE;
        error = GetLastError();
        // A collected failure must never look pending again.
        if (error == ERROR_IO_PENDING) error = ERROR_GEN_FAILURE;
    }
    return true;
}

int OverlappedOp::WaitAny(OverlappedOp* const* ops, int n, const HANDLE* extra, int nExtra, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (int i = 0; i < n; ++i)
        if (!ops[i]->Pending()) return i;
    HANDLE handles[MAXIMUM_WAIT_OBJECTS] = {};
    int count = 0;
    for (int i = 0; i < n && count < MAXIMUM_WAIT_OBJECTS; ++i) handles[count++] = ops[i]->overlapped.hEvent;
    for (int i = 0; i < nExtra && count < MAXIMUM_WAIT_OBJECTS; ++i) handles[count++] = extra[i];
    for (;;) {
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            DWORD spent = GetTickCount() - start;
            left = spent < timeoutMs ? timeoutMs - spent : 0;
        }
        DWORD r = WaitForMultipleObjects(DWORD(count), handles, FALSE, left);
        if (r == WAIT_TIMEOUT) return kTimedOut;
        if (r >= WAIT_OBJECT_0 + DWORD(count)) {
            // The wait itself failed: the caller sees operation 0 failed; it stays outstanding.
            ops[0]->ok = FALSE;
            ops[0]->error = GetLastError();
            if (ops[0]->error == 0) ops[0]->error = ERROR_GEN_FAILURE;
            return 0;
        }
        int index = int(r - WAIT_OBJECT_0);
        if (index >= n) return index;
        if (ops[index]->Finish()) return index;
        // A stale signal: the request still runs; its own completion will signal again.
    }
}
