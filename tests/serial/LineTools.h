// The far end of the monitored pty line, and the shim's line-error switch.
#pragma once
#include <windows.h>
#include <string>

namespace line {

// Reads from a raw remote-end handle until n bytes arrived or the time is up.
std::string readFar(HANDLE remote, size_t n, DWORD timeoutMs);

// The Windows path of the flag file that makes the shim report line errors; empty off the bench.
std::string lineErrorFlag();

}  // namespace line
