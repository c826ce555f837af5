// tavcheckbench: what a crafted settings file costs. For files of 1 to 64 MiB whose streams all
// share one long chain (refused) and the same files with a chain per stream (sound), prints the
// structure check's time, and the time the real Tavrenix.exe takes from its start to a window
// that answers, beside a start with no settings file. Needs the bench (display and prefix).
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "MonitorProcess.h"
#include "ScratchFolder.h"
#include "SharedChainFile.h"
#include "settings/CompoundFileCheck.h"
#include "support/Bench.h"

namespace {

// Best of three runs of the check, in milliseconds; sound tells what it answered.
double checkMs(const std::vector<uint8_t>& bytes, bool& sound)
{
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        double start = bench::nowMs();
        sound = CompoundFileCheck::IsSound(bytes.data(), bytes.size());
        double took = bench::nowMs() - start;
        if (took < best) best = took;
    }
    return best;
}

// The program's start in a folder of its own with these settings bytes (none when empty), from
// its process's creation to a window that answers; best of runs, -1 when it did not start.
double startMs(const std::vector<uint8_t>& settings, int runs)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        ScratchFolder folder("checkbench");
        if (!settings.empty() &&
            !ScratchFolder::write(folder.file("Tavrenix.def"), std::string(settings.begin(), settings.end())))
            return -1;
        MonitorProcess program(folder.path());
        double start = bench::nowMs();
        if (!program.start()) {
            std::fprintf(stderr, "the program did not start: %s\n", program.failure().c_str());
            return -1;
        }
        double took = bench::nowMs() - start;
        program.kill();
        if (best < 0 || took < best) best = took;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool withProgram = !(argc > 1 && std::string(argv[1]) == "--check-only");
    const int runs = 3;
    std::printf("settings-file check on crafted files (best of 3); program start to an answering window on the\n"
                "shared-chain file and, just before, with no settings file (best of %d each)\n", runs);
    std::printf("%8s %8s %18s %18s %14s %14s\n", "MiB", "streams", "shared chain ms", "own chains ms", "start ms",
                "no file ms");
    for (std::size_t mib = 1; mib <= 64; mib *= 2) {
        const std::size_t size = mib << 20;
        std::vector<uint8_t> shared = SharedChainFile::Make(size, true);
        bool sharedSound = true, ownSound = false;
        double sharedMs = checkMs(shared, sharedSound);
        double ownMs = checkMs(SharedChainFile::Make(size, false), ownSound);
        std::printf("%8zu %8zu %12.2f (%s) %12.2f (%s)", mib, SharedChainFile::Streams(size), sharedMs,
                    sharedSound ? "kept" : "refd", ownMs, ownSound ? "kept" : "refd");
        if (withProgram) {
            // Measured side by side, so a machine that is busier now than before shows in both.
            double missing = startMs({}, runs);
            double started = startMs(shared, runs);
            std::printf(" %14.0f %14.0f", started, missing);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
