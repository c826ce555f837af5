// One outstanding overlapped device operation, and the wait that collects whichever finishes.
#pragma once
#include <windows.h>
#include <cstdint>

class OverlappedOp {
public:
    HANDLE device = INVALID_HANDLE_VALUE;
    BOOL ok = FALSE;
    DWORD error = 0;
    DWORD bytes = 0;
    OVERLAPPED overlapped{};
    bool outstanding = false;  // issued and not yet collected: its buffers must stay valid
    // Its completion signal alone ends it, whatever the status word says. For requests whose
    // event is set only once they are over and is never left over from an earlier request: Wine's
    // event wait can end and signal before its issuing call writes "running" into the status word,
    // which then never changes.
    bool signalEnds = false;
    bool statusLost = false;  // ended by its signal while the status word still said running

    // Ready for a new operation on device, completing through event (offsets 0, not issued).
    void Prepare(HANDLE dev, HANDLE event);
    // Records the result of issuing: the call's result and, when it failed, the last error.
    void Issued(BOOL result);
    // Still running: issued with ERROR_IO_PENDING and not yet collected.
    bool Pending() const { return outstanding; }
    // Waits up to timeoutMs until the operation has completed, then records its result (nothing
    // when not pending); false when it is still outstanding. The event is waited for, as Wine
    // finishes its bookkeeping of an event wait only after writing the status; a signal whose
    // status still says running (a late one of the record's previous request) is no end.
    bool CollectWithin(DWORD timeoutMs);

    static constexpr int kTimedOut = -1;
    // Waits until one of ops (n >= 1) or of the extra handles finishes; returns its index, the
    // operations counted from 0, then the extra handles from n, or kTimedOut after timeoutMs.
    // A failed wait fails operation 0.
    static int WaitAny(OverlappedOp* const* ops, int n, const HANDLE* extra, int nExtra, DWORD timeoutMs = INFINITE);

private:
    // Records the result of an operation whose completion event has been seen; false (still
    // outstanding) when its status stays running.
    bool Finish();
    // Records the result if the status word says the operation has ended.
    bool TryFinish();
};
