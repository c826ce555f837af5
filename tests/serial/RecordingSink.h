// A sink that records what the receiver hands over, for the live-line tests.
#pragma once
#include <windows.h>
#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include "serial/CommSink.h"

class RecordingSink : public CommSink {
public:
    struct Notice {
        int32_t code = -1;
        std::string text;
    };

    RecordingSink();
    ~RecordingSink() override;
    void OnReceiveStart() override { ++starts; }
    void OnData(const char* bytes, int32_t count) override;
    void OnStatus(int32_t code, const char* text) override;

    // The next notice, or false when none arrives within timeoutMs.
    bool Next(Notice& out, DWORD timeoutMs);
    size_t Pending();

    std::atomic<int> starts{0};

private:
    std::mutex lock_;
    std::deque<Notice> notices_;
    HANDLE ready_;
};
