// The receiver's view of its owner: chunks and failure texts arrive here, on the receiver's thread.
#pragma once
#include <cstdint>

class CommSink {
public:
    static constexpr int32_t kCodeData = 0;
    // A message for the pane (bytes cut or lost); monitoring goes on.
    static constexpr int32_t kCodeMessage = 1;
    static constexpr int32_t kCodeFailure = 4;

    // Two slots kept for the interface's order; the receiver never issues them.
    virtual void Reserved1(int32_t, int32_t, int32_t) {}
    virtual void Reserved2(int32_t, int32_t, int32_t) {}
    // Bytes are arriving and a chunk will follow.
    virtual void OnReceiveStart() {}
    // One received chunk; the bytes are valid only during the call.
    virtual void OnData(const char* bytes, int32_t count) = 0;
    // A message (code 1) or a failure (code 4); the text is valid only during the call.
    virtual void OnStatus(int32_t code, const char* text) = 0;

protected:
    virtual ~CommSink() = default;
};
