#include "controls/SplitCaptions.h"
#include <cstring>

SplitCaptions::SplitCaptions(const char* text)
{
    bool between = true;
    int used = 0;
    for (const char* p = text; p && *p; ++p) {
        if (used >= MaxUsed) break;
        if (*p == '\t') {
            if (!between) {
                buffer_[used++] = '\0';
                between = true;
            }
            continue;
        }
        if (between) {
            ++count_;
            between = false;
        }
        buffer_[used++] = *p;
    }
    if (!between) buffer_[used++] = '\0';
    used_ = used;
    buffer_[used] = '\0';
}

const char* SplitCaptions::item(int k) const
{
    if (k < 0 || k >= count_) return buffer_ + used_;
    const char* p = buffer_;
    for (int i = 0; i < k; ++i) p += std::strlen(p) + 1;
    return p;
}

int SplitCaptions::length(int k) const
{
    return static_cast<int>(std::strlen(item(k)));
}

SplitCaptions splitCaptions(const char* text)
{
    return SplitCaptions(text);
}
