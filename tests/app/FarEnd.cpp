#include "FarEnd.h"
#include "support/Bench.h"

FarEnd::FarEnd() : h_(bench::openRaw(bench::kFarPort))
{
    bench::drain(h_);
}

FarEnd::~FarEnd()
{
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
}

bool FarEnd::send(const std::string& bytes)
{
    return bench::writeAll(h_, bytes.data(), DWORD(bytes.size()));
}

std::string FarEnd::receive(size_t want, DWORD timeoutMs)
{
    std::string got;
    bench::pumpUntil(
        [&] {
            char buf[512];
            DWORD n = 0;
            if (ReadFile(h_, buf, sizeof buf, &n, nullptr) && n > 0) got.append(buf, n);
            return got.size() >= want;
        },
        timeoutMs);
    return got;
}
