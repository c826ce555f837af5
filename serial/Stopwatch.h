// Elapsed time on the high-resolution performance counter; reads 0 where there is none.
#pragma once
#include <cstdint>

class Stopwatch {
public:
    Stopwatch();
    void Restart();
    // Counter ticks since the start; with restart set, now becomes the new start.
    int64_t ElapsedTicks(bool restart);
    // Whole milliseconds since the start (truncated).
    int32_t ElapsedMs(bool restart);
    int64_t Frequency() const { return frequency_; }

private:
    int64_t start_ = 0;
    int64_t frequency_ = 0;
};
