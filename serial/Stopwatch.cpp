#include "serial/Stopwatch.h"

#include <windows.h>

Stopwatch::Stopwatch()
{
    LARGE_INTEGER f;
    if (QueryPerformanceFrequency(&f) && f.QuadPart > 0) {
        frequency_ = f.QuadPart;
        Restart();
    }
}

void Stopwatch::Restart()
{
    LARGE_INTEGER c;
    if (frequency_ > 0 && QueryPerformanceCounter(&c)) start_ = c.QuadPart;
}

int64_t Stopwatch::ElapsedTicks(bool restart)
{
    LARGE_INTEGER c;
    if (frequency_ <= 0 || !QueryPerformanceCounter(&c)) return 0;
    int64_t elapsed = c.QuadPart - start_;
    if (restart) start_ = c.QuadPart;
    return elapsed;
}

int32_t Stopwatch::ElapsedMs(bool restart)
{
    if (frequency_ <= 0) return 0;
    return int32_t(double(ElapsedTicks(restart)) * 1000.0 / double(frequency_));
}
