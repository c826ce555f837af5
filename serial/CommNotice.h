// The notice block that a sink fills on the receiver's thread and posts to the window.
#pragma once
#include <cstddef>
#include <cstdint>

struct CommNotice {
    // A whole chunk of the receiver's largest read (2048 bytes) and a NUL: no received byte is dropped.
    static constexpr int32_t kTextSize = 2049;
    static constexpr int32_t kStatusSize = 1024;  // failure texts, as every message of the program

    int32_t code;           // 0 data, 4 failure
    char text[kTextSize];   // the chunk's bytes and a NUL, or the failure text
    int32_t length;         // data bytes; 0 for a failure text

    // A data notice of the whole chunk (at most kTextSize - 1 bytes).
    void SetData(const char* bytes, int32_t count);
    // A failure notice: the text bounded to 1023 characters.
    void SetStatus(int32_t statusCode, const char* statusText);
};

static_assert(offsetof(CommNotice, text) == 4, "CommNotice layout: code, text, length");
