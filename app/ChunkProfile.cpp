#include "app/ChunkProfile.h"

#include <windows.h>

const char* const ChunkProfile::kNames[kStepCount] = {"notice", "entry", "log", "pane", "lamp", "rearm", "whole"};

int64_t ChunkProfile::Now()
{
    LARGE_INTEGER c;
    return QueryPerformanceCounter(&c) ? c.QuadPart : 0;
}

int64_t ChunkProfile::Frequency()
{
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 0;
    }();
    return frequency;
}

void ChunkProfile::Add(Step step, int64_t ticks)
{
    if (ticks < 0) ticks = 0;
    ++count_[step];
    total_[step] += ticks;
    if (ticks > max_[step]) max_[step] = ticks;
}

int64_t ChunkProfile::Lap(Step step, int64_t start)
{
    int64_t now = Now();
    Add(step, now - start);
    return now;
}

void ChunkProfile::Reset() { *this = ChunkProfile(); }

double ChunkProfile::TotalUs(Step step) const
{
    int64_t f = Frequency();
    return f > 0 ? double(total_[step]) * 1e6 / double(f) : 0.0;
}

double ChunkProfile::MeanUs(Step step) const
{
    return count_[step] > 0 ? TotalUs(step) / double(count_[step]) : 0.0;
}

double ChunkProfile::MaxUs(Step step) const
{
    int64_t f = Frequency();
    return f > 0 ? double(max_[step]) * 1e6 / double(f) : 0.0;
}
