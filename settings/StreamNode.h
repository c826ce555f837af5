// A stream inside a compound file: size, seek, read and write, with the last failure as text.
#pragma once
#include <cstdint>
#include "framework/UniqueHandle.h"

class StreamNode {
public:
    explicit StreamNode(ComRef<IStream> stream);
    virtual ~StreamNode();
    // Size in bytes; -1 on failure.
    virtual int64_t Size();
    // Moves to position from the start of the stream.
    virtual bool Seek(int64_t position);
    // Bytes written; 0 on failure.
    virtual uint32_t Write(const void* bytes, uint32_t count);
    // Bytes read, fewer than count at the end of the stream; 0 on failure.
    virtual uint32_t Read(void* buffer, uint32_t count);
    // The status code of the last failure as "%x"; empty before any failure.
    virtual const char* ErrorText() const;

private:
    void Fail(HRESULT status);

    char errorText_[80];
    ComRef<IStream> stream_;
};
