// Bytes in use in the heaps of the calling process: in the C runtime's heap (the program's own
// allocations; a module that shares the C runtime DLL shares it) or in all the others.
#pragma once
#include <windows.h>
#include <malloc.h>
#include <cstdint>

namespace heapbytes {

// Bytes in busy blocks of one heap; walked under its lock, as other threads allocate meanwhile.
inline uint64_t Busy(HANDLE heap)
{
    uint64_t total = 0;
    if (!HeapLock(heap)) return 0;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    HeapUnlock(heap);
    return total;
}

inline uint64_t Runtime() { return Busy(reinterpret_cast<HANDLE>(_get_heap_handle())); }

inline uint64_t Others()
{
    const HANDLE runtime = reinterpret_cast<HANDLE>(_get_heap_handle());
    HANDLE heaps[256];
    const DWORD n = GetProcessHeaps(256, heaps);
    uint64_t total = 0;
    for (DWORD i = 0; i < n && i < 256; ++i)
        if (heaps[i] != runtime) total += Busy(heaps[i]);
    return total;
}

}  // namespace heapbytes
