// Times how long a burst written to the far end of the line takes to show as a line in the
// running program's pane, polling the pane's text as any other program could (WM_GETTEXT).
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "framework/UniqueHandle.h"

class MonitorProcess;

class LatencyProbe {
public:
    LatencyProbe(const MonitorProcess& program, const char* farPort);
    LatencyProbe(const LatencyProbe&) = delete;
    LatencyProbe& operator=(const LatencyProbe&) = delete;

    bool ready() const { return static_cast<bool>(far_); }
    // Milliseconds from the return of the write of the burst's last byte until the pane ends
    // with the burst's line; a negative value when it did not show within timeoutMs.
    double Burst(const std::string& text, DWORD timeoutMs);
    // count bursts of distinct texts with a quiet gap before each; one figure per burst.
    std::vector<double> Run(int count, DWORD gapMs, DWORD timeoutMs);

private:
    const MonitorProcess& program_;
    UniqueFileHandle far_;
};
