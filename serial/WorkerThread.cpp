#include "serial/WorkerThread.h"

#include "serial/Stopwatch.h"

WorkerThread::WorkerThread() : stopEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

WorkerThread::~WorkerThread() { Stop(); }

bool WorkerThread::Step() { return false; }

bool WorkerThread::Start(int32_t periodMs)
{
    period_.store(periodMs);
    if (running_.load() && thread_) return true;
    // A thread that ended by itself still has its handle: release it before the next one.
    if (thread_) {
        WaitForSingleObject(thread_.get(), kStopWaitMs);
        GetExitCodeThread(thread_.get(), &lastExitCode_);
        thread_.reset();
    }
    if (stopEvent_) ResetEvent(stopEvent_.get());
    running_.store(true);
    thread_.reset(CreateThread(nullptr, 0, ThreadBody, this, 0, &threadId_));
    if (!thread_) {
        running_.store(false);
        threadId_ = 0;
        return false;
    }
    lastExitCode_ = STILL_ACTIVE;
    return true;
}

bool WorkerThread::ThreadAlive() const
{
    return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
}

void WorkerThread::Stop()
{
    if (thread_) {
        running_.store(false);
        if (stopEvent_) SetEvent(stopEvent_.get());
        if (WaitForSingleObject(thread_.get(), kStopWaitMs) != WAIT_OBJECT_0) {
            TerminateThread(thread_.get(), 2);
            // On Windows a terminated thread ends only once its pending I/O has: bounded, so that
            // exit never hangs on a driver that does not complete.
            WaitForSingleObject(thread_.get(), kTerminateWaitMs);
        }
        GetExitCodeThread(thread_.get(), &lastExitCode_);
        thread_.reset();
        threadId_ = 0;
    }
}

DWORD WINAPI WorkerThread::ThreadBody(LPVOID self)
{
    auto* w = static_cast<WorkerThread*>(self);
    Stopwatch watch;
    int32_t period = w->period_.load();
    Sleep(DWORD(period > 0 ? period : 0));
    while (w->running_.load()) {
        watch.Restart();
        if (!w->Step() || !w->running_.load()) {
            w->running_.store(false);
            break;
        }
        period = w->period_.load();
        int32_t elapsed = watch.ElapsedMs(false);
        if (elapsed < period) Sleep(DWORD(period - elapsed));
    }
    return 1;
}
