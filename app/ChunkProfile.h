// Where the window's time goes for each received chunk: the time of every step from the posted
// notice to the re-armed receiver, summed on the performance counter. Read by the benchmarks.
#pragma once
#include <cstdint>

class ChunkProfile {
public:
    enum Step {
        Notice,  // from the sink's post to the window's handler
        Entry,   // the pane's entry: history, trim, rendering
        Log,     // the log line into the stream
        Pane,    // the pane control's text
        Lamp,    // the activity lamp
        Rearm,   // the receiver armed again
        Whole,   // the handler from start to end
        kStepCount
    };
    static const char* const kNames[kStepCount];

    // The performance counter now (0 where there is none).
    static int64_t Now();
    static int64_t Frequency();

    void Add(Step step, int64_t ticks);
    // Times the step from start until now and returns now, the start of the next step.
    int64_t Lap(Step step, int64_t start);
    void Reset();

    int64_t Count(Step step) const { return count_[step]; }
    double MeanUs(Step step) const;
    double MaxUs(Step step) const;
    double TotalUs(Step step) const;

private:
    int64_t count_[kStepCount] = {};
    int64_t total_[kStepCount] = {};
    int64_t max_[kStepCount] = {};
};
