// The settings of the sample file that the independent reader checks (values repeated in
// olefile_check.py).
#pragma once
#include <cstdint>
#include <string>

class CommPort;

class SampleSettings {
public:
    // Writes the sample through the settings file: log path with a known tail after its
    // terminator, display format 2, COM12 at 19200 baud, even parity, 7 data bits, 2 stop bits,
    // 250 ms time-out.
    static bool Write(const char* path);
    // Loads a file and describes what came back on one line:
    // logPath|displayFormat|portName|baudRate|parity|dataBits|stopBits|rxTimeoutMs
    static std::string Read(const char* path);

    // Loading the file at path fails and leaves every default: no log path, format 0, the
    // default line settings.
    static void ExpectRefusedWithDefaults(const char* path);

    static void FillLogPath(char (&logPath)[256]);
    static void FillPort(CommPort& port);
    static constexpr int32_t kDisplayFormat = 2;
};
