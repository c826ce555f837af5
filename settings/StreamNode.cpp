#include "settings/StreamNode.h"
#include <cstdio>

StreamNode::StreamNode(ComRef<IStream> stream) : errorText_{}, stream_(std::move(stream))
{
}

StreamNode::~StreamNode() = default;

void StreamNode::Fail(HRESULT status)
{
    std::snprintf(errorText_, sizeof errorText_, "%lx", static_cast<unsigned long>(status));
}

int64_t StreamNode::Size()
{
    if (!stream_) {
        Fail(E_POINTER);
        return -1;
    }
    STATSTG stat{};
    HRESULT hr = stream_->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(hr)) {
        Fail(hr);
        return -1;
    }
    return static_cast<int64_t>(stat.cbSize.QuadPart);
}

bool StreamNode::Seek(int64_t position)
{
    if (!stream_) {
        Fail(E_POINTER);
        return false;
    }
    LARGE_INTEGER move;
    move.QuadPart = position;
    HRESULT hr = stream_->Seek(move, STREAM_SEEK_SET, nullptr);
    if (FAILED(hr)) {
        Fail(hr);
        return false;
    }
    return true;
}

uint32_t StreamNode::Write(const void* bytes, uint32_t count)
{
    if (!stream_) {
        Fail(E_POINTER);
        return 0;
    }
    ULONG written = 0;
    HRESULT hr = stream_->Write(bytes, count, &written);
    if (FAILED(hr)) {
        Fail(hr);
        return 0;
    }
    return written;
}

uint32_t StreamNode::Read(void* buffer, uint32_t count)
{
    if (!stream_) {
        Fail(E_POINTER);
        return 0;
    }
    ULONG read = 0;
    HRESULT hr = stream_->Read(buffer, count, &read);
    if (FAILED(hr)) {
        Fail(hr);
        return 0;
    }
    return read > count ? count : read;
}

const char* StreamNode::ErrorText() const
{
    return errorText_;
}
