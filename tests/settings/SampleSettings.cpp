#include "SampleSettings.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include "serial/CommPort.h"
#include "settings/SettingsFile.h"

void SampleSettings::ExpectRefusedWithDefaults(const char* path)
{
    char logPath[256] = "stale";
    int32_t format = 3;
    CommPort port;
    EXPECT_FALSE(SettingsFile::Load(path, logPath, format, port));
    EXPECT_STREQ(logPath, "");
    EXPECT_EQ(format, 0);
    const CommCfg defaults;
    EXPECT_EQ(std::memcmp(&port.Settings(), &defaults, sizeof defaults), 0) << "the line settings are not the defaults";
    EXPECT_STREQ(port.Settings().portName, "COM1");
}

void SampleSettings::FillLogPath(char (&logPath)[256])
{
    for (std::size_t i = 0; i < sizeof logPath; ++i) logPath[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    const char text[] = "Z:\\tav\\capture log.txt";
    std::memcpy(logPath, text, sizeof text);  // with its terminator; the tail stays
}

void SampleSettings::FillPort(CommPort& port)
{
    CommCfg& cfg = port.Settings();
    std::memset(cfg.portName, 0, sizeof cfg.portName);
    std::memcpy(cfg.portName, "COM12", 5);
    cfg.baudRate = 19200;
    cfg.parity = EVENPARITY;
    cfg.dataBits = 7;
    cfg.stopBits = TWOSTOPBITS;
    cfg.rxTimeoutMs = 250;
}

bool SampleSettings::Write(const char* path)
{
    char logPath[256];
    FillLogPath(logPath);
    CommPort port;
    FillPort(port);
    return SettingsFile::Save(path, logPath, kDisplayFormat, port);
}

std::string SampleSettings::Read(const char* path)
{
    char logPath[256];
    int32_t format = -1;
    CommPort port;
    if (!SettingsFile::Load(path, logPath, format, port)) return "not opened";
    const CommCfg& c = port.Settings();
    char line[512];
    std::snprintf(line, sizeof line, "%s|%d|%s|%d|%d|%d|%d|%d", logPath, static_cast<int>(format), c.portName,
                  static_cast<int>(c.baudRate), static_cast<int>(c.parity), static_cast<int>(c.dataBits),
                  static_cast<int>(c.stopBits), static_cast<int>(c.rxTimeoutMs));
    return line;
}
