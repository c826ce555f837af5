// The notice block that a sink fills on the receiver's thread and posts to the window.
#pragma once
#include <cstddef>
#include <cstdint>

struct CommNotice {
    static constexpr int32_t kTextSize = 1024;

    int32_t code;           // 0 data, 4 failure
    char text[kTextSize];   // the chunk's bytes and a NUL, or the failure text
    int32_t length;         // data bytes; 0 for a failure text

    // A data notice of at most 1023 bytes; the rest of a longer chunk is dropped.
    void SetData(const char* bytes, int32_t count);
    // A failure notice: the text bounded to 1023 characters.
    void SetStatus(int32_t statusCode, const char* statusText);
};

static_assert(offsetof(CommNotice, text) == 4 && offsetof(CommNotice, length) == 1028,
              "CommNotice layout: code, text[1024], length");
