#include "LatencyProbe.h"

#include <cstdio>
#include "MonitorProcess.h"
#include "support/Bench.h"

LatencyProbe::LatencyProbe(const MonitorProcess& program, const char* farPort)
    : program_(program), far_(bench::openRaw(farPort))
{
    if (far_) bench::drain(far_.get());
}

double LatencyProbe::Burst(const std::string& text, DWORD timeoutMs)
{
    const std::string line = text + "\r\n";
    if (!bench::writeAll(far_.get(), text.data(), DWORD(text.size()))) return -1;
    const double written = bench::nowMs();
    for (;;) {
        std::string pane = program_.paneText();
        double now = bench::nowMs();
        if (pane.size() >= line.size() && pane.compare(pane.size() - line.size(), line.size(), line) == 0)
            return now - written;
        if (now - written > timeoutMs) return -1;
        // About a millisecond between looks: fine enough, and the window is not kept busy.
        Sleep(1);
    }
}

std::vector<double> LatencyProbe::Run(int count, DWORD gapMs, DWORD timeoutMs)
{
    std::vector<double> figures;
    for (int i = 0; i < count; ++i) {
        Sleep(gapMs);
        char text[32];
        std::snprintf(text, sizeof text, "burst-%05d", i);
        figures.push_back(Burst(text, timeoutMs));
    }
    return figures;
}
