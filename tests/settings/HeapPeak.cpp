#include "HeapPeak.h"
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Each block carries its size in front, kept at the alignment malloc gives.
constexpr std::size_t kHeader = 16;
std::atomic<std::size_t> inUse{0};
std::atomic<std::size_t> peak{0};

void* take(std::size_t n)
{
    char* p = static_cast<char*>(std::malloc(n + kHeader));
    if (!p) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(p) = n;
    std::size_t now = inUse += n;
    for (std::size_t seen = peak.load(); now > seen && !peak.compare_exchange_weak(seen, now);) {
    }
    return p + kHeader;
}

void give(void* p) noexcept
{
    if (!p) return;
    char* block = static_cast<char*>(p) - kHeader;
    inUse -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t n) { return take(n); }
void* operator new[](std::size_t n) { return take(n); }
void operator delete(void* p) noexcept { give(p); }
void operator delete[](void* p) noexcept { give(p); }
void operator delete(void* p, std::size_t) noexcept { give(p); }
void operator delete[](void* p, std::size_t) noexcept { give(p); }

HeapPeak::HeapPeak() : base_(inUse.load())
{
    peak = base_;
}

std::size_t HeapPeak::Bytes() const
{
    return peak.load() - base_;
}
