// The receiver's view of the monitor window: each chunk or failure is copied into the one notice
// block and posted to the window's thread, which re-arms the receiver after taking it.
#pragma once
#include <atomic>
#include <cstdint>
#include "serial/CommNotice.h"
#include "serial/CommSink.h"

class CommPort;
class MonitorWindow;

class MonitorSink : public CommSink {
public:
    MonitorSink(CommPort& port, MonitorWindow& window);
    ~MonitorSink() override = default;
    MonitorSink(const MonitorSink&) = delete;
    MonitorSink& operator=(const MonitorSink&) = delete;

    // On the receiver's thread (OnStatus also on the window's thread when arming fails).
    void OnData(const char* bytes, int32_t count) override;
    void OnStatus(int32_t code, const char* text) override;

    // The block a posted notice points at; the window accepts no other address.
    const CommNotice* Notice() const { return &notice_; }
    // A notice is posted and the window has not taken it yet: arming now could overwrite it.
    bool InFlight() const { return inFlight_.load(); }
    // The window has handled the notice; the block may be written again.
    void Taken() { inFlight_.store(false); }
    // The performance counter when the last notice was posted.
    int64_t PostedAt() const { return postedAt_.load(); }

private:
    void Post();

    CommPort& port_;
    MonitorWindow& window_;
    CommNotice notice_{};
    std::atomic<bool> inFlight_{false};
    std::atomic<int64_t> postedAt_{0};
};
