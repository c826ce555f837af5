// The last 100 capture entries with the local time each was added and whether it is a message.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include "app/CaptureEntry.h"

class CaptureHistory {
public:
    static constexpr int32_t kSlots = 100;

    CaptureHistory() = default;
    CaptureHistory(const CaptureHistory&) = delete;
    CaptureHistory& operator=(const CaptureHistory&) = delete;

    // Adds an entry stamped with time, replacing the oldest when full; returns its logical index.
    int32_t Add(int32_t count, const void* bytes, bool isMessage, const SYSTEMTIME& time);

    // Entries kept: min(total, 100). Logical index 0 is the oldest kept.
    int32_t Size() const { return total_ < kSlots ? int32_t(total_) : kSlots; }
    // Entries ever added.
    int64_t Total() const { return total_; }

    const CaptureEntry& Entry(int32_t index) const { return *entries_[Slot(index)]; }
    const SYSTEMTIME& Time(int32_t index) const { return times_[Slot(index)]; }
    bool IsMessage(int32_t index) const { return isMessage_[Slot(index)]; }

private:
    int32_t Slot(int32_t index) const
    {
        return total_ < kSlots ? index : int32_t((index + total_) % kSlots);
    }

    SYSTEMTIME times_[kSlots] = {};
    bool isMessage_[kSlots] = {};
    std::unique_ptr<CaptureEntry> entries_[kSlots];
    // 64 bits: a monitor left running for weeks must not wrap the count.
    int64_t total_ = 0;
};
