#include "serial/CommPort.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include "framework/BoundedCopy.h"
#include "serial/CommReceiver.h"
#include "serial/CommSink.h"
#include "serial/OverlappedOp.h"
#include "serial/SysErrorText.h"

namespace {

// How long Close waits for a receive cycle to give the device back.
constexpr DWORD kCloseWaitMs = 5000;
// The longest a chunk in flight at Comm Off may run on to its own end.
constexpr DWORD kFinishCapMs = 2000;
// Scheduling allowance on top of the line's own times.
constexpr DWORD kSlackMs = 100;
// How long a cancelled request of the window's thread is waited for before it is left be.
constexpr DWORD kCancelWaitMs = 1000;

// A request of the window's thread with what it lends the device; on the heap, so that one a
// driver never completes keeps them (leaked deliberately) instead of a stack frame gone.
struct PortRequest {
    UniqueHandle event{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    OverlappedOp op;
    char bytes[2048];
};

// Waits for the request within timeoutMs; past it cancels and waits a bounded while more.
// Returns the request when it is collected; otherwise it is left to the driver.
std::unique_ptr<PortRequest> collectBounded(std::unique_ptr<PortRequest> r, HANDLE device, DWORD timeoutMs)
{
    OverlappedOp* ops[1] = {&r->op};
    if (OverlappedOp::WaitAny(ops, 1, nullptr, 0, timeoutMs) == 0 && !r->op.Pending()) return r;
    const DWORD failure = r->op.Pending() ? ERROR_TIMEOUT : r->op.error;
    CancelIoEx(device, &r->op.overlapped);
    if (!r->op.CollectWithin(kCancelWaitMs)) {
        r.release();
        return nullptr;
    }
    r->op.ok = FALSE;
    r->op.error = failure;
    return r;
}

}  // namespace

CommPort::CommPort() : CommPort(std::make_unique<CommReceiver>()) {}

CommPort::CommPort(std::unique_ptr<CommReceiver> receiver)
    : receiver_(std::move(receiver))
{
}

CommPort::~CommPort()
{
    // The receiver's thread ends before the device and the events it waits on are closed.
    receiver_.reset();
    if (open_) {
        device_.reset();
        open_ = false;
    }
    retired_.reset();
}

void CommPort::DeviceName(const char* portName, char* out, size_t capacity)
{
    const char* p = portName ? portName : "";
    bool bareCom = std::strlen(p) > 3 && _strnicmp(p, "COM", 3) == 0;
    for (const char* d = p + 3; bareCom && *d; ++d)
        if (!std::isdigit(static_cast<unsigned char>(*d))) bareCom = false;
    // COM10 and above open only through the device namespace; COM1..COM9 do so as well.
    if (bareCom)
        std::snprintf(out, capacity, "\\\\.\\%s", p);
    else
        boundedCopy(out, capacity, p);
}

void CommPort::SetError(DWORD code)
{
    char text[256];
    std::snprintf(text, sizeof text, "Communication error:(%s).", SysErrorText(code).Text());
    boundedCopy(errorText_, text);
}

bool CommPort::Open()
{
    if (open_) return true;
    if (CycleStuck()) {
        SetError(ERROR_BUSY);
        return false;
    }
    settings_.portName[sizeof settings_.portName - 1] = '\0';
    char name[sizeof settings_.portName + 4];
    DeviceName(settings_.portName, name, sizeof name);
    device_.reset(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_WRITE_THROUGH | FILE_FLAG_OVERLAPPED, nullptr));
    if (!device_) {
        SetError(GetLastError());
        return false;
    }
    // A driver buffer for a whole time-out of traffic lets the line wait while the window is busy.
    // Only a request: a driver that refuses it keeps its own buffer, and the line still works.
    SetupComm(device_.get(), DWORD(settings_.InputQueueBytes()), 0);
    characterTimeMs_ = settings_.CharacterTimeMs();
    // An unusable time-out (0, "Auto", beyond a minute) would leave reads without an end.
    int32_t timeout = settings_.UsableRxTimeoutMs();
    COMMTIMEOUTS to{};
    to.ReadIntervalTimeout = DWORD(timeout);
    to.ReadTotalTimeoutMultiplier = 0;
    to.ReadTotalTimeoutConstant = 0;
    to.WriteTotalTimeoutMultiplier = DWORD(2 * characterTimeMs_);
    to.WriteTotalTimeoutConstant = 100;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool ok = SetCommTimeouts(device_.get(), &to) && GetCommState(device_.get(), &dcb);
    if (ok) {
        settings_.ApplyTo(dcb);
        ok = SetCommState(device_.get(), &dcb) && SetCommMask(device_.get(), 0);
    }
    if (!ok) {
        SetError(GetLastError());
        device_.reset();
        return false;
    }
    readTimeoutMs_ = timeout;
    open_ = true;
    return true;
}

bool CommPort::SetReadTimeout(int32_t ms)
{
    if (ms < 1) ms = settings_.rxTimeoutMs;
    if (!CommCfg::IsUsableTimeout(ms)) ms = CommCfg::kDefaultRxTimeoutMs;
    if (ms == readTimeoutMs_) return true;
    COMMTIMEOUTS to{};
    if (!GetCommTimeouts(device_.get(), &to)) {
        SetError(GetLastError());
        return false;
    }
    to.ReadIntervalTimeout = DWORD(ms);
    to.ReadTotalTimeoutMultiplier = 0;
    to.ReadTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(device_.get(), &to)) {
        SetError(GetLastError());
        return false;
    }
    readTimeoutMs_ = ms;
    return true;
}

bool CommPort::Write(const void* bytes, int32_t count)
{
    if (!Open()) return false;
    if (count < 0 || !bytes) count = 0;
    auto r = std::make_unique<PortRequest>();
    r->op.Prepare(device_.get(), r->event.get());
    r->op.Issued(WriteFile(device_.get(), bytes, DWORD(count), nullptr, &r->op.overlapped));
    // The device's write time-outs end it; the wait is bounded all the same.
    const DWORD limit = 100 + DWORD(2 * characterTimeMs_) * DWORD(count) + kCloseWaitMs;
    r = collectBounded(std::move(r), device_.get(), limit);
    if (!r) {
        SetError(ERROR_TIMEOUT);
        return false;
    }
    if (!r->op.ok) {
        SetError(r->op.error);
        return false;
    }
    // Ended by the write time-out with bytes unsent: a failure, not a success.
    if (r->op.bytes < DWORD(count)) {
        char text[256];
        std::snprintf(text, sizeof text, "Communication error:(%lu of %ld bytes written).",
                      static_cast<unsigned long>(r->op.bytes), static_cast<long>(count));
        boundedCopy(errorText_, text);
        return false;
    }
    return true;
}

bool CommPort::Purge()
{
    if (!Open()) return false;
    receiver_->NotePurge();
    // The cycle ends first and hands on what its read holds; a purge under it would cut the chunk.
    EndCycle();
    if (!PurgeComm(device_.get(), kPurgeAll)) SetError(GetLastError());
    return true;
}

void CommPort::Close()
{
    if (!open_) return;
    receiver_->NotePurge();
    // The cycle must be over before the handle goes, so it never uses a closed or reused handle.
    const bool ended = EndCycle();
    if (!PurgeComm(device_.get(), kPurgeAll)) SetError(GetLastError());
    if (ended)
        device_.reset();
    else
        retired_ = std::move(device_);
    open_ = false;
    readTimeoutMs_ = -1;
}

int32_t CommPort::TakeWaiting(char* bytes, int32_t capacity)
{
    if (!open_ || !bytes || capacity <= 0) return 0;
    // The port ends the cycle itself: what that ends is no failure of the line.
    receiver_->NotePurge();
    if (!EndCycle()) return 0;
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(device_.get(), &errors, &stat) || stat.cbInQue == 0) return 0;
    auto r = std::make_unique<PortRequest>();
    DWORD want = stat.cbInQue < DWORD(capacity) ? stat.cbInQue : DWORD(capacity);
    if (want > sizeof r->bytes) want = sizeof r->bytes;
    r->op.Prepare(device_.get(), r->event.get());
    r->op.Issued(receiver_->IssueRead(device_.get(), r->bytes, want, &r->op.overlapped));
    // The bytes are there already; a read still running after a moment is ended.
    r = collectBounded(std::move(r), device_.get(), 200);
    // Only a read that succeeded has its bytes in the buffer (buffered I/O).
    if (!r || (!r->op.ok && !receiver_->ReadsLandInPlace())) return 0;
    const DWORD n = r->op.bytes <= want ? r->op.bytes : want;
    std::memcpy(bytes, r->bytes, n);
    return int32_t(n);
}

DWORD CommPort::FinishBoundMs() const
{
    // The read's interval time-out plus the time its size takes at the line rate, capped.
    const int64_t rate = settings_.UsableBaudRate();
    const int64_t sizeMs = (int64_t(receiver_->ReadSize()) * 11000 + rate - 1) / rate;
    const int64_t bound = int64_t(readTimeoutMs_ > 0 ? readTimeoutMs_ : 0) + sizeMs + kSlackMs;
    return DWORD(bound < kFinishCapMs ? bound : kFinishCapMs);
}

DWORD CommPort::FinishReceive()
{
    if (!open_ || stuck_) return 0;
    const DWORD bound = FinishBoundMs();
    receiver_->RequestEnd(bound);
    // An empty mask ends the event wait at once; a read holding bytes runs on.
    SetCommMask(device_.get(), 0);
    return bound;
}

bool CommPort::ReceiveIdle() const
{
    return receiver_->WaitIdle(0) || !receiver_->ThreadAlive();
}

bool CommPort::EndCycle()
{
    // The mask is cleared even when no cycle runs: a mask left standing would keep the device
    // watching a line that nobody reads.
    SetCommMask(device_.get(), 0);
    // A cycle that outlasted the limit once is not waited for again: the window stays responsive.
    if (CycleStuck()) return false;
    // A read that holds bytes ends by its own time-out within the bound (the receiver cancels it
    // past that); an empty mask ends the event wait. Repeated, since the cycle may issue its
    // requests after the first round. A thread that is gone runs no cycle: nothing to wait for.
    const DWORD bound = FinishBoundMs();
    receiver_->RequestEnd(bound);
    for (DWORD waited = 0; !receiver_->WaitIdle(waited == 0 ? 0 : 20) && receiver_->ThreadAlive(); waited += 20) {
        if (waited >= kCloseWaitMs) {
            stuck_ = true;
            // Its late delivery must not write the sink while the port reports busy through it.
            receiver_->Detach();
            return false;
        }
        SetCommMask(device_.get(), 0);
        // Only a purge does not end a read under Wine; cancelling does, once the bound is past.
        if (waited > bound + kSlackMs) CancelIoEx(device_.get(), nullptr);
    }
    return true;
}

bool CommPort::CycleStuck()
{
    if (stuck_ && (receiver_->WaitIdle(0) || !receiver_->ThreadAlive())) {
        stuck_ = false;
        retired_.reset();
    }
    return stuck_;
}

void CommPort::StartReceive(CommSink* sink, int32_t readSize, int32_t timeoutMs)
{
    if (!receiver_->ThreadAlive()) {
        // Armed, it would never answer: the window would wait for a chunk that cannot come.
        SetError(receiver_->ThreadFailure());
    } else if (CycleStuck()) {
        // Armed, it would run only once the driver lets go: Comm On would show nothing until then.
        SetError(ERROR_BUSY);
    } else if (Open() && SetReadTimeout(timeoutMs)) {
        receiver_->Arm(device_.get(), sink, readSize);
        return;
    }
    if (sink) sink->OnStatus(CommSink::kCodeFailure, errorText_);
}

DWORD CommPort::ReceiverThreadId() const { return receiver_->ThreadId(); }

const char* CommPort::Describe() const { return settings_.Describe(); }
