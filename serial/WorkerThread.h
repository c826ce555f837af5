// Owner of one thread that repeats a virtual step, at most once per period, until stopped.
#pragma once
#include <windows.h>
#include <atomic>
#include <cstdint>
#include "framework/UniqueHandle.h"

class WorkerThread {
public:
    static constexpr DWORD kStopWaitMs = 5000;
    static constexpr DWORD kTerminateWaitMs = 1000;

    WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    virtual ~WorkerThread();

    // Stores the period; starts the thread unless it runs. False when it cannot be created.
    bool Start(int32_t periodMs);
    bool IsRunning() const { return running_.load(); }
    // The thread exists and has not ended (by itself, by a failure or by being terminated).
    bool ThreadAlive() const;
    // The running thread's id; 0 when none was started.
    DWORD ThreadId() const { return threadId_; }
    // Exit code of the last thread: STILL_ACTIVE while it runs, 1 ended by itself, 2 terminated.
    DWORD LastExitCode() const { return lastExitCode_; }

protected:
    // One step; false ends the thread. The base has nothing to do.
    virtual bool Step();

    // Ends the thread: signal, wait up to the stop wait, then terminate and wait up to 1 s more.
    // Subclass destructors call it before they release what Step uses.
    void Stop();

    HANDLE StopEvent() const { return stopEvent_.get(); }
    int32_t Period() const { return period_.load(); }

private:
    static DWORD WINAPI ThreadBody(LPVOID self);

    DWORD threadId_ = 0;
    UniqueHandle thread_;
    std::atomic<int32_t> period_{0};
    std::atomic<bool> running_{false};
    UniqueHandle stopEvent_;
    DWORD lastExitCode_ = 0;
};
