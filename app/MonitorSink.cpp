#include "app/MonitorSink.h"

#include <cstring>
#include "app/ChunkProfile.h"
#include "app/MonitorWindow.h"

MonitorSink::MonitorSink(CommPort& port, MonitorWindow& window) : port_(port), window_(window) {}

void MonitorSink::OnData(const char* bytes, int32_t count)
{
    notice_.SetData(bytes, count);
    Post();
}

void MonitorSink::OnStatus(int32_t code, const char* text)
{
    notice_.SetStatus(code, text);
    Post();
}

void MonitorSink::Post()
{
    inFlight_.store(true);
    postedAt_.store(ChunkProfile::Now());
    window_.postUserMessage(0, reinterpret_cast<LPARAM>(&notice_));
}
