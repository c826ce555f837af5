// What another process holds: its handle count, memory and liveness, read through calls that
// answer under Wine too (GetProcessHandleCount is always 0 there; the system's handle table is not).
#pragma once
#include <windows.h>
#include <cstdint>
#include "framework/UniqueHandle.h"

class ProcessProbe {
public:
    explicit ProcessProbe(DWORD processId);
    ProcessProbe(const ProcessProbe&) = delete;
    ProcessProbe& operator=(const ProcessProbe&) = delete;

    // The process of the window's thread.
    static DWORD ProcessOfWindow(HWND window);

    bool valid() const { return static_cast<bool>(process_); }
    DWORD id() const { return processId_; }
    bool Running() const;
    // Open handles of the process; -1 when neither the process nor the system answers.
    int HandleCount() const;
    // Working set and private (commit) bytes; false when not answered.
    bool Memory(uint64_t& workingSet, uint64_t& privateBytes) const;

    // GDI and USER objects of the process; false where the system does not count them (Wine).
    bool GuiObjects(int& gdi, int& user) const;

    // Handles that the system's handle table lists for a process id; -1 when it cannot be read.
    static int HandlesInSystemTable(DWORD processId);

private:
    DWORD processId_;
    UniqueHandle process_;
};
