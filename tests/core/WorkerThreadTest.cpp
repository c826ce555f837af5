#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include <memory>
#include "serial/Stopwatch.h"
#include "serial/WorkerThread.h"
#include "support/Bench.h"

namespace {

// Records the exit code its thread ended with, after the stop in its destructor.
class ProbeThread : public WorkerThread {
public:
    explicit ProbeThread(DWORD* exitCode) : exitCode_(exitCode) {}
    ~ProbeThread() override
    {
        Stop();
        *exitCode_ = LastExitCode();
    }
    std::atomic<int> steps{0};

protected:
    DWORD* exitCode_;
};

// Blocks in a wait that includes the stop event, as the receiver does.
class WaitingThread : public ProbeThread {
public:
    using ProbeThread::ProbeThread;

protected:
    bool Step() override
    {
        ++steps;
        WaitForSingleObject(StopEvent(), INFINITE);
        return true;
    }
};

// Never returns from its step.
class StuckThread : public ProbeThread {
public:
    using ProbeThread::ProbeThread;
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~StuckThread() override
    {
        Stop();
        *exitCode_ = LastExitCode();
        CloseHandle(never);
    }

protected:
    bool Step() override
    {
        ++steps;
        WaitForSingleObject(never, INFINITE);
        return true;
    }
};

// Counts its steps and ends after a given number.
class CountingThread : public ProbeThread {
public:
    CountingThread(DWORD* exitCode, int limit) : ProbeThread(exitCode), limit_(limit) {}

protected:
    bool Step() override { return ++steps < limit_; }
    int limit_;
};

TEST(WorkerThread, BareThreadEndsByItself)
{
    WorkerThread w;
    EXPECT_FALSE(w.IsRunning());
    ASSERT_TRUE(w.Start(0));
    EXPECT_TRUE(bench::pumpUntil([&] { return !w.IsRunning(); }, 2000));
}

TEST(WorkerThread, StopRequestEndsAWaitingStepAtOnce)
{
    DWORD code = 0;
    auto w = std::make_unique<WaitingThread>(&code);
    ASSERT_TRUE(w->Start(0));
    ASSERT_TRUE(bench::pumpUntil([&] { return w->steps.load() == 1; }, 2000));
    double t0 = bench::nowMs();
    w.reset();
    EXPECT_LT(bench::nowMs() - t0, 1000.0);
    EXPECT_EQ(code, 1u) << "ended by itself, not terminated";
}

TEST(WorkerThread, StepThatNeverReturnsIsTerminatedAfterFiveSeconds)
{
    DWORD code = 0;
    double t0 = 0;
    {
        StuckThread w(&code);
        ASSERT_TRUE(w.Start(0));
        ASSERT_TRUE(bench::pumpUntil([&] { return w.steps.load() == 1; }, 2000));
        t0 = bench::nowMs();
    }
    double elapsed = bench::nowMs() - t0;
    EXPECT_GE(elapsed, 4900.0);
    EXPECT_LT(elapsed, 8000.0);
    EXPECT_EQ(code, 2u);
}

TEST(WorkerThread, StepsUntilStepSaysStopAndCanStartAgain)
{
    DWORD code = 0;
    CountingThread w(&code, 5);
    ASSERT_TRUE(w.Start(0));
    ASSERT_TRUE(bench::pumpUntil([&] { return !w.IsRunning(); }, 2000));
    EXPECT_EQ(w.steps.load(), 5);
    ASSERT_TRUE(w.Start(0));
    ASSERT_TRUE(bench::pumpUntil([&] { return !w.IsRunning(); }, 2000));
    EXPECT_EQ(w.steps.load(), 6) << "the counter is past its limit: one more step ends it";
}

TEST(WorkerThread, PeriodSpacesTheSteps)
{
    DWORD code = 0;
    CountingThread w(&code, 1000000);
    double t0 = bench::nowMs();
    ASSERT_TRUE(w.Start(100));
    EXPECT_TRUE(w.Start(100)) << "starting a running thread only sets its period";
    Sleep(550);
    int steps = w.steps.load();
    double elapsed = bench::nowMs() - t0;
    // The first step follows one period of sleep; then one step per period.
    EXPECT_GE(steps, 3);
    EXPECT_LE(steps, int(elapsed / 100) + 1);
}

TEST(Stopwatch, MeasuresElapsedTime)
{
    Stopwatch s;
    ASSERT_GT(s.Frequency(), 0);
    Sleep(60);
    int32_t ms = s.ElapsedMs(false);
    EXPECT_GE(ms, 50);
    EXPECT_LT(ms, 1000);
    EXPECT_GE(s.ElapsedMs(true), ms) << "time runs on";
    EXPECT_LT(s.ElapsedMs(false), 50) << "the restart set a new start";
    Sleep(20);
    int64_t ticks = s.ElapsedTicks(true);
    EXPECT_GE(ticks, s.Frequency() * 15 / 1000);
    s.Restart();
    EXPECT_LT(s.ElapsedTicks(false), ticks);
}

}  // namespace
