#include "LineTools.h"

#include "support/Bench.h"

namespace line {

std::string readFar(HANDLE remote, size_t n, DWORD timeoutMs)
{
    std::string got;
    double end = bench::nowMs() + timeoutMs;
    char buf[4096];
    while (got.size() < n && bench::nowMs() < end) {
        DWORD r = 0;
        if (ReadFile(remote, buf, sizeof buf, &r, nullptr) && r > 0)
            got.append(buf, r);
        else
            Sleep(5);
    }
    return got;
}

}  // namespace line
