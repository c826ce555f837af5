// tavcorebench: the capture core's cost per entry, without the window. Prints one JSON object per
// line, rates per CPU second of its thread: AddEntry per display format and chunk size against
// plain copying of the same bytes, the local-time stamp alone, and re-rendering after a switch.
#include <windows.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include "app/CapturePane.h"

namespace {

// CPU seconds of this thread: the machine may be shared, and waiting for a core is not cost.
double cpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Every byte value in turn, so control codes come in their natural share (32 of 256).
std::vector<unsigned char> pattern(size_t n)
{
    std::vector<unsigned char> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

// Runs step in rounds until it has used at least minSeconds of CPU time; calls per CPU second.
template <class Step>
double rate(Step step, double minSeconds, long long& calls)
{
    calls = 0;
    long long round = 16;
    double start = cpuSeconds();
    double elapsed = 0;
    do {
        for (long long i = 0; i < round; ++i) step(calls + i);
        calls += round;
        elapsed = cpuSeconds() - start;
        if (elapsed < minSeconds / 10) round *= 2;
    } while (elapsed < minSeconds);
    return double(calls) / elapsed;
}

const char* const kFormatNames[kDisplayFormatCount] = {"Normal", "Hex", "Mnemonic", "AllHex"};

}  // namespace

int main(int argc, char** argv)
{
    const double minSeconds = argc > 1 ? std::atof(argv[1]) : 0.5;
    const std::vector<unsigned char> source = pattern(1 << 16);
    const int chunkSizes[] = {1, 64, 2000};
    volatile unsigned char sink = 0;

    for (int chunk : chunkSizes) {
        // Plain copying of the same bytes into a pane-sized buffer: the floor.
        std::vector<unsigned char> copy(CapturePane::kTextSize);
        long long copies = 0;
        double copyRate = rate(
            [&](long long i) {
                size_t at = size_t(i * 61) % (source.size() - chunk);
                std::memcpy(copy.data(), source.data() + at, size_t(chunk));
                sink = sink + copy[size_t(i) % size_t(chunk)];
            },
            minSeconds, copies);
        for (int f = 0; f < kDisplayFormatCount; ++f) {
            auto pane = std::make_unique<CapturePane>();
            pane->SetDisplayFormat(f);
            long long adds = 0;
            double addRate = rate(
                [&](long long i) {
                    size_t at = size_t(i * 61) % (source.size() - chunk);
                    const char* line = pane->AddEntry(chunk, source.data() + at, false);
                    sink = sink + static_cast<unsigned char>(line[0]);
                },
                minSeconds, adds);
            std::printf("{\"kind\": \"add\", \"format\": \"%s\", \"chunk\": %d, \"entries_per_s\": %.1f, "
                        "\"mib_per_s\": %.3f, \"copy_entries_per_s\": %.1f, \"copy_mib_per_s\": %.3f, "
                        "\"calls\": %lld}\n",
                        kFormatNames[f], chunk, addRate, addRate * chunk / 1048576.0, copyRate,
                        copyRate * chunk / 1048576.0, adds);
            std::fflush(stdout);
        }
    }

    // The time stamp every entry takes.
    long long stamps = 0;
    double stampRate = rate(
        [&](long long) {
            SYSTEMTIME t;
            GetLocalTime(&t);
            sink = sink + static_cast<unsigned char>(t.wMilliseconds);
        },
        minSeconds, stamps);
    std::printf("{\"kind\": \"stamp\", \"calls_per_s\": %.1f}\n", stampRate);

    // A full history of 100 entries rendered again in another format.
    const int entrySizes[] = {8, 64, 2000};
    for (int size : entrySizes) {
        for (int f = 0; f < kDisplayFormatCount; ++f) {
            auto pane = std::make_unique<CapturePane>();
            for (int i = 0; i < 100; ++i) pane->AddEntry(size, source.data() + i * 97, false);
            int other = (f + 1) % kDisplayFormatCount;
            long long switches = 0;
            double switchRate = rate(
                [&](long long i) {
                    pane->SetDisplayFormat(i % 2 ? other : f);
                    sink = sink + static_cast<unsigned char>(pane->Text()[0]);
                },
                minSeconds, switches);
            pane->SetDisplayFormat(f);
            std::printf("{\"kind\": \"rerender\", \"entry_bytes\": %d, \"format\": \"%s\", \"pane_chars\": %d, "
                        "\"us_per_switch\": %.3f}\n",
                        size, kFormatNames[f], int(pane->Length()), 1e6 / switchRate);
            std::fflush(stdout);
        }
    }
    return 0;
}
