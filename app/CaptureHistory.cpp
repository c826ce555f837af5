#include "app/CaptureHistory.h"

int32_t CaptureHistory::Add(int32_t count, const void* bytes, bool isMessage, const SYSTEMTIME& time)
{
    int32_t slot = int32_t(total_ % kSlots);
    entries_[slot] = std::make_unique<CaptureEntry>(bytes, count);
    times_[slot] = time;
    isMessage_[slot] = isMessage;
    ++total_;
    return total_ < kSlots ? int32_t(total_ - 1) : kSlots - 1;
}
