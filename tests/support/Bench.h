// Test-bench helpers: the pty line pairs linked into the Wine prefix, and the far end of a line.
#pragma once
#include <windows.h>
#include <string>

namespace bench {

// Pty pairs of the bench, cabled as null modem: what is written to one port arrives at the other.
constexpr const char* kLinePort = "COM5";   // the port a test monitors
constexpr const char* kFarPort = "COM6";    // the far end that a test writes to
constexpr const char* kLinePort2 = "COM7";
constexpr const char* kFarPort2 = "COM8";

// The bench folder (Unix path) from the environment, empty when not run on the bench.
std::string benchDir();

// A Unix path as Windows programs under Wine reach it, through drive Z:.
std::string windowsPath(const std::string& unixPath);

// The Windows path of the flag file that makes the bench shim report line errors (TAV_LINE_ERRORS);
// empty when the test's properties do not name one.
std::string lineErrorFlag();

// A non-overlapped, raw handle on a port of the bench (INVALID_HANDLE_VALUE on failure).
HANDLE openRaw(const char* port);

// Writes all bytes to a raw handle; true when every byte was written.
bool writeAll(HANDLE h, const void* bytes, DWORD count);

// Drops what is waiting on the line in both directions; with quietMs, reads on until nothing has
// come for that long (the line's relay may still hold bytes it could not pass on yet).
void drain(HANDLE h, DWORD quietMs = 0);

// A figure that rises when the process leaks handles: the handle count where the system gives
// one; under Wine (whose count is always 0) the index of the lowest free handle slot, which a
// leaked handle keeps occupied.
DWORD handleProbe();

// Milliseconds from a monotonic clock.
double nowMs();

// Pumps this thread's messages for the given time.
void pump(DWORD ms);

// Pumps this thread's messages for the given time, offering each to the open dialogs first,
// as the program's own loop does (keyboard navigation, Enter and Esc).
void pumpDialogs(DWORD ms);

// Pumps messages until the predicate holds or the time runs out; returns the predicate's last value.
template <class Pred>
bool pumpUntil(Pred pred, DWORD timeoutMs)
{
    double end = nowMs() + timeoutMs;
    while (!pred()) {
        if (nowMs() > end) return pred();
        pump(5);
    }
    return true;
}

}  // namespace bench
