// The program started in a scratch folder with settings for the bench line, and the line's far end.
#pragma once
#include <string>
#include "FarEnd.h"
#include "MonitorProcess.h"
#include "ScratchFolder.h"

class ProgramOnLine {
public:
    // Settings: the bench line with this receive time-out and log path, Normal format.
    explicit ProgramOnLine(const char* tag, int rxTimeoutMs = 100, const std::string& logPath = "");
    // The settings were written, the window is up and the far end is open.
    bool ready() const { return ready_; }

    ScratchFolder folder;
    MonitorProcess program;
    FarEnd remote;

private:
    bool ready_ = false;
};
