#include "RecordingSink.h"

#include "support/Bench.h"

RecordingSink::RecordingSink() : ready_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

RecordingSink::~RecordingSink() { CloseHandle(ready_); }

void RecordingSink::OnData(const char* bytes, int32_t count)
{
    std::lock_guard<std::mutex> g(lock_);
    notices_.push_back(Notice{kCodeData, std::string(bytes, size_t(count))});
    SetEvent(ready_);
}

void RecordingSink::OnStatus(int32_t code, const char* text)
{
    std::lock_guard<std::mutex> g(lock_);
    notices_.push_back(Notice{code, text});
    SetEvent(ready_);
}

bool RecordingSink::Next(Notice& out, DWORD timeoutMs)
{
    double end = bench::nowMs() + timeoutMs;
    for (;;) {
        {
            std::lock_guard<std::mutex> g(lock_);
            if (!notices_.empty()) {
                out = notices_.front();
                notices_.pop_front();
                return true;
            }
        }
        double left = end - bench::nowMs();
        if (left <= 0) return false;
        WaitForSingleObject(ready_, DWORD(left) + 1);
    }
}

size_t RecordingSink::Pending()
{
    std::lock_guard<std::mutex> g(lock_);
    return notices_.size();
}
