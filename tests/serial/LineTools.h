// The far end of the monitored pty line.
#pragma once
#include <windows.h>
#include <string>

namespace line {

// Reads from a raw remote-end handle until n bytes arrived or the time is up.
std::string readFar(HANDLE remote, size_t n, DWORD timeoutMs);

}  // namespace line
