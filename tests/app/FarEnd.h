// The far end of the program's line, opened raw on the bench's cross-linked port.
#pragma once
#include <windows.h>
#include <string>

class FarEnd {
public:
    FarEnd();
    ~FarEnd();
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    bool open() const { return h_ != INVALID_HANDLE_VALUE; }
    bool send(const std::string& bytes);
    // Collects what arrives until want bytes are there or the time runs out.
    std::string receive(size_t want, DWORD timeoutMs);

private:
    HANDLE h_;
};
