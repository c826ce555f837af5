// A tab-separated caption text split into items (column captions, row fields).
#pragma once

class SplitCaptions {
public:
    static constexpr int BufferSize = 1000;  // items, their zeros and the final zero
    static constexpr int MaxUsed = 998;      // a text is cut where this much is used

    explicit SplitCaptions(const char* text);  // null gives no items

    int count() const { return count_; }
    // Item k; beyond the last item the empty text at the end.
    const char* item(int k) const;
    int length(int k) const;

private:
    char buffer_[BufferSize];
    int count_ = 0;
    int used_ = 0;  // bytes before the final zero
};

// Runs of tabs count as one; leading and trailing tabs add no items.
SplitCaptions splitCaptions(const char* text);
