#include "app/CapturePane.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

CapturePane::CapturePane() : text_{} {}

DisplayFormat CapturePane::EffectiveFormat(int32_t index, DisplayFormat format) const
{
    return history_.IsMessage(index) ? DisplayFormat::Normal : format;
}

int32_t CapturePane::LineSpace(int32_t index, DisplayFormat format) const
{
    return history_.Entry(index).RenderedLength(EffectiveFormat(index, format)) + kPrefixLength;
}

char* CapturePane::RenderLine(int32_t index, DisplayFormat format, char* dest) const
{
    const SYSTEMTIME& t = history_.Time(index);
    char prefix[32];
    // Fields out of their range (a foreign time) must not widen the fixed 14-character prefix.
    std::snprintf(prefix, sizeof prefix, "%02d:%02d:%02d.%03d: ", t.wHour % 100, t.wMinute % 100,
                  t.wSecond % 100, t.wMilliseconds % 1000);
    std::memcpy(dest, prefix, kPrefixLength);
    history_.Entry(index).Render(EffectiveFormat(index, format), dest + kPrefixLength);
    return dest;
}

void CapturePane::Append(const char* text, int32_t count)
{
    std::memcpy(text_ + length_, text, size_t(count));
    length_ += count;
    text_[length_] = '\0';
}

const char* CapturePane::AddEntry(int32_t count, const void* bytes, bool isMessage, const SYSTEMTIME& time)
{
    int32_t i = history_.Add(count, bytes, isMessage, time);
    int32_t space = LineSpace(i, format_);
    // Prefix and text, line end, terminator.
    int32_t need = space + 3;
    if (kTextSize - length_ < need) {
        if (length_ <= need) {
            dropped_ += length_;
            length_ = 0;
        } else {
            // Past the shown length only "all of it" matters; the cap keeps the count bounded.
            dropped_ = dropped_ + need > kTextSize ? kTextSize : dropped_ + need;
            std::memmove(text_, text_ + need, size_t(length_ - need));
            length_ -= need;
        }
        text_[length_] = '\0';
    }
    if (line_.size() < size_t(space) + 1) line_.resize(size_t(space) + 1);
    RenderLine(i, format_, line_.data());
    // A line longer than the whole pane shows its beginning; the log still gets all of it.
    int32_t shown = space;
    if (shown > kTextSize - 3 - length_) shown = kTextSize - 3 - length_;
    Append(line_.data(), shown);
    Append("\r\n", 2);
    return line_.data();
}

const char* CapturePane::AddEntry(int32_t count, const void* bytes, bool isMessage)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return AddEntry(count, bytes, isMessage, now);
}

const char* CapturePane::AddMessage(const char* text, const SYSTEMTIME& time)
{
    const char* t = text ? text : "";
    return AddEntry(int32_t(std::strlen(t)), t, true, time);
}

const char* CapturePane::AddMessage(const char* text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return AddMessage(text, now);
}

const char* CapturePane::ShowMessage(const char* format, ...)
{
    char text[kMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return AddMessage(text);
}

bool CapturePane::SetDisplayFormat(int32_t format)
{
    format_ = ToDisplayFormat(format);
    int32_t n = history_.Size();
    // The newest entries whose whole lines fit, with the terminator.
    int32_t first = n;
    int64_t size = 1;
    while (first > 0) {
        size += LineSpace(first - 1, format_) + 2;
        if (size > kTextSize) break;
        --first;
    }
    rebuilt_ = true;
    char before[kTextSize];
    std::memcpy(before, text_, size_t(length_) + 1);
    int32_t beforeLength = length_;
    length_ = 0;
    text_[0] = '\0';
    for (int32_t i = first; i < n; ++i) {
        RenderLine(i, format_, text_ + length_);
        length_ += LineSpace(i, format_);
        Append("\r\n", 2);
    }
    return length_ != beforeLength || std::memcmp(before, text_, size_t(length_)) != 0;
}

bool CapturePane::ClearPane()
{
    bool changed = length_ != 0;
    rebuilt_ = true;
    length_ = 0;
    text_[0] = '\0';
    return changed;
}

void CapturePane::MarkShown()
{
    rebuilt_ = false;
    dropped_ = 0;
    shownLength_ = length_;
}
