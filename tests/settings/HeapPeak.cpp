#include "HeapPeak.h"
#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> inUse{0}, peak{0};
constexpr std::size_t kHeader = 16;  // the block's size, in front at the alignment malloc gives
}  // namespace

// The library's other forms (arrays, no-throw) call these.
void* operator new(std::size_t n)
{
    char* p = static_cast<char*>(std::malloc(n + kHeader));
    if (!p) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(p) = n;
    for (std::size_t now = inUse += n, seen = peak; now > seen && !peak.compare_exchange_weak(seen, now);) {
    }
    return p + kHeader;
}

void operator delete(void* p) noexcept
{
    if (!p) return;
    char* block = static_cast<char*>(p) - kHeader;
    inUse -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

HeapPeak::HeapPeak() : base_(inUse)
{
    peak = base_;
}

std::size_t HeapPeak::Bytes() const
{
    return peak - base_;
}
