#include "ProgramOnLine.h"
#include "support/Bench.h"

ProgramOnLine::ProgramOnLine(const char* tag, int rxTimeoutMs, const std::string& logPath)
    : folder(tag), program(folder.path())
{
    ready_ = MonitorProcess::writeSettings(folder.path(), bench::kLinePort, rxTimeoutMs, logPath.c_str(), 0) &&
             program.start() && remote.open();
}
