#include "ProcessProbe.h"

#include <psapi.h>
#include <vector>

namespace {

// SystemExtendedHandleInformation: the handle table of every process, with owner ids.
constexpr ULONG kExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT objectType;
    ULONG attributes;
    ULONG reserved;
};

struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

}  // namespace

ProcessProbe::ProcessProbe(DWORD processId)
    : processId_(processId),
      process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId))
{
}

DWORD ProcessProbe::ProcessOfWindow(HWND window)
{
    DWORD pid = 0;
    if (window) GetWindowThreadProcessId(window, &pid);
    return pid;
}

bool ProcessProbe::Running() const
{
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

int ProcessProbe::HandleCount() const
{
    DWORD n = 0;
    // Windows answers directly; Wine says 0, which no live process can have.
    if (process_ && GetProcessHandleCount(process_.get(), &n) && n > 0) return static_cast<int>(n);
    return HandlesInSystemTable(processId_);
}

int ProcessProbe::HandlesInSystemTable(DWORD processId)
{
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<ULONG_PTR> buffer(1 << 16);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG bytes = static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR));
        ULONG needed = 0;
        LONG status = query(kExtendedHandleInformation, buffer.data(), bytes, &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(buffer.size() * 2 + needed / sizeof(ULONG_PTR));
            continue;
        }
        if (status < 0) return -1;
        const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
        int count = 0;
        for (ULONG_PTR i = 0; i < table->count; ++i) {
            if (table->entries[i].processId == processId) ++count;
        }
        return count;
    }
    return -1;
}

bool ProcessProbe::Memory(uint64_t& workingSet, uint64_t& privateBytes) const
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!process_ || !GetProcessMemoryInfo(process_.get(), &counters, sizeof counters)) return false;
    workingSet = counters.WorkingSetSize;
    privateBytes = counters.PagefileUsage;
    return true;
}

bool ProcessProbe::GuiObjects(int& gdi, int& user) const
{
    if (!process_) return false;
    gdi = static_cast<int>(GetGuiResources(process_.get(), GR_GDIOBJECTS));
    user = static_cast<int>(GetGuiResources(process_.get(), GR_USEROBJECTS));
    // A live window has at least one of each: zero means the count is not kept.
    return gdi > 0 && user > 0;
}
