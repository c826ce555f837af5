// The monitor's notice block: what the sink posts to the window, a whole chunk or a failure text.
// Sized for the receiver's largest read, so no received byte is dropped on the way.
#pragma once
#include <cstddef>
#include <cstdint>
#include "serial/CommReceiver.h"

struct MonitorNotice {
    static constexpr int32_t kTextSize = CommReceiver::kBufferSize + 1;  // a whole chunk and a NUL
    static constexpr int32_t kStatusSize = 1024;                        // failure texts, as elsewhere

    int32_t code;          // 0 data, 4 failure
    char text[kTextSize];  // the chunk's bytes and a NUL, or the failure text
    int32_t length;        // data bytes; 0 for a failure text

    // A data notice of the whole chunk (at most the receiver's buffer).
    void SetData(const char* bytes, int32_t count);
    // A failure notice: the text bounded to 1023 characters.
    void SetStatus(int32_t statusCode, const char* statusText);
};
