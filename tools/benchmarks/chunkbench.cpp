// tavchunkbench: where a received chunk's time goes, on the bench line (COM5, far end COM6).
// Prints one JSON object per line. Modes:
//   window S [B] the monitor window itself (All Hex, log on) taking S s of unpaced traffic: chunks,
//                CPU per chunk and its profile per step (notice, entry, log, pane, lamp, rearm)
//   bursts N     the window (Normal, no log, time-out 20 ms) taking N bursts of 11 bytes 37 ms apart,
//                as the latency benchmark sends them: the profile of an isolated chunk
//   receiver S [B] the port and its receiver alone (no window) on the same traffic: Wine's share
//                (B: paced at B baud instead of unpaced)
//   idle S       CPU share at rest: the window with Comm off (its timer), the receiver alone armed
//                (Wine's polling of the line), the window with Comm on
//   pane N       N pane updates of short lines and of 4000-character lines, the text set whole
//                and cut-and-appended: CPU of the window's thread per update, paint included
//   latency N G  N bursts of 11 bytes, G ms apart, at time-outs of 20/50/100 ms: last byte written
//                to the receiver's hand-over (the device's time-out and Wine's share)
// CPU time is the process's own (GetProcessTimes) less the thread that feeds the line.
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include "app/ChunkProfile.h"
#include "app/MonitorWindow.h"
#include "framework/BoundedCopy.h"
#include "resources/resource.h"
#include "serial/CommPort.h"
#include "serial/CommSink.h"
#include "settings/ProgramPath.h"
#include "settings/SettingsFile.h"
#include "support/Bench.h"

namespace {

double seconds(const FILETIME& t) { return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; }

double processCpu()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return seconds(kernel) + seconds(user);
}

double threadCpu(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
    return seconds(kernel) + seconds(user);
}

void pump(DWORD ms)
{
    bench::pump(ms);
}

// Traffic into the far end for the given time, on a thread of its own: unpaced, or paced at a
// baud rate (ten bits a byte, what is due written every millisecond or so).
class Feeder {
public:
    Feeder(double secondsToRun, int baud) : far_(bench::openRaw(bench::kFarPort)), seconds_(secondsToRun), baud_(baud) {}
    ~Feeder()
    {
        if (thread_.joinable()) thread_.join();
        if (far_ != INVALID_HANDLE_VALUE) CloseHandle(far_);
    }
    bool ok() const { return far_ != INVALID_HANDLE_VALUE; }
    void Start()
    {
        thread_ = std::thread([this] {
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self_, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
            started_.store(true);
            char block[4096];
            for (size_t i = 0; i < sizeof block; ++i) block[i] = char(i * 7);
            const double start = bench::nowMs(), end = start + seconds_ * 1000;
            for (double now = start; now < end; now = bench::nowMs()) {
                int64_t due = sizeof block;
                if (baud_ > 0) {
                    due = std::min<int64_t>(int64_t((now - start) * baud_ / 10000.0) + 1 - sent_.load(), sizeof block);
                    if (due <= 0) {
                        Sleep(1);
                        continue;
                    }
                }
                if (!bench::writeAll(far_, block, DWORD(due))) break;
                sent_ += due;
            }
            cpu_.store(threadCpu(self_));
            done_.store(true);
        });
        while (!started_.load()) Sleep(1);
    }
    bool Done() const { return done_.load(); }
    double Cpu() const { return done_.load() ? cpu_.load() : threadCpu(self_); }
    int64_t Sent() const { return sent_.load(); }

private:
    HANDLE far_;
    double seconds_;
    int baud_;
    std::thread thread_;
    HANDLE self_ = nullptr;
    std::atomic<bool> started_{false}, done_{false};
    std::atomic<double> cpu_{0};
    std::atomic<int64_t> sent_{0};
};

// A sink that counts chunks and wakes the thread that re-arms.
class CountingSink : public CommSink {
public:
    CountingSink() : ready_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~CountingSink() override { CloseHandle(ready_); }
    void OnReceiveStart() override {}
    void OnData(const char*, int32_t count) override
    {
        at_.store(ChunkProfile::Now());
        bytes_ += count;
        ++chunks_;
        SetEvent(ready_);
    }
    void OnStatus(int32_t, const char* text) override
    {
        std::fprintf(stderr, "receiver: %s\n", text);
        failed_.store(true);
        SetEvent(ready_);
    }
    bool Wait(DWORD ms) { return WaitForSingleObject(ready_, ms) == WAIT_OBJECT_0 && !failed_.load(); }
    int64_t at() const { return at_.load(); }
    int64_t bytes_ = 0;
    int64_t chunks_ = 0;

private:
    HANDLE ready_;
    std::atomic<int64_t> at_{0};
    std::atomic<bool> failed_{false};
};

void configurePort(CommPort& port, int32_t timeoutMs)
{
    boundedCopy(port.Settings().portName, bench::kLinePort);
    port.Settings().rxTimeoutMs = timeoutMs;
    port.Settings().baudRate = 921600;
}

std::string programFolder() { return ProgramPath::ProgramFolder(ProgramPath::kDrive | ProgramPath::kDirectory); }

// Settings beside this program, which the window loads: the bench line, the log named.
bool writeWindowSettings(const std::string& log, int32_t timeoutMs = 100, int32_t format = 3)
{
    CommPort port;
    configurePort(port, timeoutMs);
    char logPath[256] = {};
    boundedCopy(logPath, log.c_str());
    return SettingsFile::Save((programFolder() + SettingsFile::kFileName).c_str(), logPath, format, port);
}

void printProfile(const char* mode, MonitorWindow& window, int64_t chunks, double secs, double cpu, int64_t bytes)
{
    const ChunkProfile& p = window.Profile();
    std::printf("{\"mode\": \"%s\", \"chunks\": %lld, \"seconds\": %.3f, \"cpu\": %.4f, \"bytes\": %lld, \"steps\": {",
                mode, (long long)chunks, secs, cpu, (long long)bytes);
    for (int s = 0; s < ChunkProfile::kStepCount; ++s) {
        auto step = ChunkProfile::Step(s);
        std::printf("%s\"%s\": {\"count\": %lld, \"mean_us\": %.2f, \"max_us\": %.1f, \"total_us\": %.0f}",
                    s ? ", " : "", ChunkProfile::kNames[s], (long long)p.Count(step), p.MeanUs(step), p.MaxUs(step),
                    p.TotalUs(step));
    }
    std::printf("}}\n");
}

int runWindow(double secs, int baud)
{
    std::string log = programFolder() + "chunkbench.log";
    DeleteFileA(log.c_str());
    if (!writeWindowSettings(log)) return std::fprintf(stderr, "settings not written\n"), 1;
    int64_t written = 0;
    {
        MonitorWindow window;
        if (!window.created()) return std::fprintf(stderr, "no window\n"), 1;
        window.commandIssued(ID_LOG_ON);
        window.commandIssued(ID_COMM_ON);
        pump(300);
        Feeder feed(secs, baud);
        if (!feed.ok()) return std::fprintf(stderr, "no far end\n"), 1;
        window.Profile().Reset();
        double cpu0 = processCpu(), t0 = bench::nowMs();
        feed.Start();
        int64_t last = -1;
        double lastAt = t0;
        while (!feed.Done() || bench::nowMs() - lastAt < 1000) {
            pump(20);
            int64_t n = window.Profile().Count(ChunkProfile::Notice);
            if (n != last) last = n, lastAt = bench::nowMs();
        }
        double cpu = processCpu() - cpu0 - feed.Cpu();
        written = feed.Sent();
        printProfile(baud > 0 ? "window paced" : "window", window, window.Profile().Count(ChunkProfile::Notice), (lastAt - t0) / 1000, cpu,
                     written);
        window.commandIssued(ID_COMM_OFF);
        window.commandIssued(ID_LOG_OFF);
        pump(100);
    }
    DeleteFileA(log.c_str());
    return 0;
}

int runBursts(int bursts)
{
    if (!writeWindowSettings("", 20, 0)) return std::fprintf(stderr, "settings not written\n"), 1;
    HANDLE farEnd = bench::openRaw(bench::kFarPort);
    if (farEnd == INVALID_HANDLE_VALUE) return std::fprintf(stderr, "no far end\n"), 1;
    {
        MonitorWindow window;
        if (!window.created()) return std::fprintf(stderr, "no window\n"), 1;
        window.commandIssued(ID_COMM_ON);
        pump(300);
        window.Profile().Reset();
        double cpu0 = processCpu(), t0 = bench::nowMs();
        for (int i = 0; i < bursts; ++i) {
            pump(37);
            char text[32];
            std::snprintf(text, sizeof text, "burst-%05d", i);
            bench::writeAll(farEnd, text, DWORD(std::strlen(text)));
            int64_t want = i + 1;
            for (double end = bench::nowMs() + 2000; window.Profile().Count(ChunkProfile::Notice) < want && bench::nowMs() < end;)
                pump(1);
        }
        pump(100);
        printProfile("bursts", window, window.Profile().Count(ChunkProfile::Notice), (bench::nowMs() - t0) / 1000,
                     processCpu() - cpu0, 11 * bursts);
        window.commandIssued(ID_COMM_OFF);
    }
    CloseHandle(farEnd);
    return 0;
}

int runReceiver(double secs, int baud)
{
    CommPort port;
    configurePort(port, 100);
    CountingSink sink;
    if (!port.Purge()) return std::fprintf(stderr, "%s\n", port.ErrorText()), 1;
    Feeder feed(secs, baud);
    if (!feed.ok()) return std::fprintf(stderr, "no far end\n"), 1;
    double cpu0 = processCpu(), t0 = bench::nowMs(), lastAt = t0;
    port.StartReceive(&sink, 0, 0);
    feed.Start();
    while (!feed.Done() || bench::nowMs() - lastAt < 1000) {
        if (!sink.Wait(100)) continue;
        lastAt = bench::nowMs();
        port.StartReceive(&sink, 0, 0);
    }
    double cpu = processCpu() - cpu0 - feed.Cpu();
    std::printf("{\"mode\": \"%s\", \"chunks\": %lld, \"seconds\": %.3f, \"cpu\": %.4f, \"bytes\": %lld}\n",
                baud > 0 ? "receiver paced" : "receiver", (long long)sink.chunks_, (lastAt - t0) / 1000, cpu,
                (long long)sink.bytes_);
    port.Purge();
    return 0;
}

double share(double secs, void (*during)(double))
{
    double cpu0 = processCpu(), t0 = bench::nowMs();
    during(secs);
    return (processCpu() - cpu0) / ((bench::nowMs() - t0) / 1000);
}

int runIdle(double secs)
{
    if (!writeWindowSettings("")) return std::fprintf(stderr, "settings not written\n"), 1;
    double windowOff = 0, windowOn = 0, receiverArmed = 0, nothing = 0;
    {
        MonitorWindow window;
        if (!window.created()) return std::fprintf(stderr, "no window\n"), 1;
        pump(500);
        windowOff = share(secs, [](double s) { pump(DWORD(s * 1000)); });
        window.commandIssued(ID_COMM_ON);
        pump(500);
        windowOn = share(secs, [](double s) { pump(DWORD(s * 1000)); });
        window.commandIssued(ID_COMM_OFF);
    }
    nothing = share(secs, [](double s) { Sleep(DWORD(s * 1000)); });
    {
        CommPort port;
        configurePort(port, 100);
        CountingSink sink;
        port.Purge();
        port.StartReceive(&sink, 0, 0);
        Sleep(500);
        receiverArmed = share(secs, [](double s) { Sleep(DWORD(s * 1000)); });
        port.Purge();
    }
    std::printf("{\"mode\": \"idle\", \"seconds\": %.1f, \"window_comm_off\": %.5f, \"window_comm_on\": %.5f, "
                "\"receiver_armed\": %.5f, \"nothing\": %.5f}\n",
                secs, windowOff, windowOn, receiverArmed, nothing);
    return 0;
}

int runPane(int updates)
{
    if (!writeWindowSettings("")) return std::fprintf(stderr, "settings not written\n"), 1;
    MonitorWindow window;
    if (!window.created()) return std::fprintf(stderr, "no window\n"), 1;
    HWND pane = GetDlgItem(window.hwnd(), IDC_PANE);
    std::string longLine;
    for (int i = 0; i < 2000; ++i) longLine += "0123456789ABCDEF"[i % 16], longLine += "FEDCBA9876543210"[i % 16];
    for (bool shortLines : {true, false}) {
        for (bool whole : {true, false}) {
            window.ClearPane();
            pump(100);
            double cpu0 = threadCpu(GetCurrentThread()), t0 = bench::nowMs();
            for (int i = 0; i < updates; ++i) {
                char text[32];
                std::snprintf(text, sizeof text, "burst-%05d", i);
                // A modified control is set whole; an unmodified one gets the cut and the tail.
                if (whole) SendMessageA(pane, EM_SETMODIFY, TRUE, 0);
                // Messages reach the control at once, so every line is one update.
                if (shortLines)
                    window.ShowText(text);
                else
                    window.AddEntry(int32_t(longLine.size()), longLine.data(), true);
                pump(0);
            }
            double cpu = threadCpu(GetCurrentThread()) - cpu0, wall = bench::nowMs() - t0;
            std::printf("{\"mode\": \"pane\", \"lines\": \"%s\", \"method\": \"%s\", \"updates\": %d, "
                        "\"cpu_ms\": %.4f, \"wall_ms\": %.4f, \"pane_chars\": %d}\n",
                        shortLines ? "short" : "long", whole ? "whole" : "cut and append", updates,
                        cpu * 1000 / updates, wall / updates, int(window.Pane().Length()));
            std::fflush(stdout);
        }
    }
    return 0;
}

int runLatency(int bursts, DWORD gapMs)
{
    HANDLE farEnd = bench::openRaw(bench::kFarPort);
    if (farEnd == INVALID_HANDLE_VALUE) return std::fprintf(stderr, "no far end\n"), 1;
    for (int32_t timeout : {20, 50, 100}) {
        CommPort port;
        configurePort(port, timeout);
        CountingSink sink;
        port.Purge();
        bench::drain(farEnd);
        std::vector<double> figures;
        for (int i = 0; i < bursts; ++i) {
            port.StartReceive(&sink, 0, 0);
            Sleep(gapMs);
            char text[32];
            std::snprintf(text, sizeof text, "burst-%05d", i);
            bench::writeAll(farEnd, text, DWORD(std::strlen(text)));
            int64_t written = ChunkProfile::Now();
            if (!sink.Wait(5000)) break;
            figures.push_back(double(sink.at() - written) * 1000.0 / double(ChunkProfile::Frequency()));
        }
        port.Purge();
        std::printf("{\"mode\": \"latency\", \"timeout_ms\": %d, \"figures\": [", int(timeout));
        for (size_t i = 0; i < figures.size(); ++i) std::printf("%s%.3f", i ? ", " : "", figures[i]);
        std::printf("]}\n");
    }
    CloseHandle(farEnd);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    double secs = argc > 2 ? std::atof(argv[2]) : 4.0;
    int rc = 2;
    const int baud = argc > 3 ? std::atoi(argv[3]) : 0;
    if (mode == "window") rc = runWindow(secs, baud);
    else if (mode == "receiver") rc = runReceiver(secs, baud);
    else if (mode == "idle") rc = runIdle(secs);
    else if (mode == "bursts") rc = runBursts(argc > 2 ? std::atoi(argv[2]) : 50);
    else if (mode == "pane") rc = runPane(argc > 2 ? std::atoi(argv[2]) : 200);
    else if (mode == "latency") rc = runLatency(argc > 2 ? std::atoi(argv[2]) : 50, DWORD(argc > 3 ? std::atoi(argv[3]) : 37));
    else std::fprintf(stderr, "usage: tavchunkbench window|receiver S [BAUD] | idle S | bursts N | pane N | latency N GAP\n");
    std::fflush(stdout);
    return rc;
}
