// The settings file "Tavrenix.def" beside the program: the log file name, the display format
// and the line settings, kept in a compound file between runs.
#pragma once
#include <windows.h>
#include <cstdint>

class CommPort;

class SettingsFile {
public:
    static constexpr const char* kFileName = "Tavrenix.def";

    // The program's folder followed by kFileName; false (and an empty path) when it does not
    // fit into the buffer, so that no other file is taken for it.
    static bool DefaultPath(char (&path)[256]);

    // Sets logPath empty and displayFormat 0, then reads what the file holds: "appinfo" into
    // logPath and displayFormat, "commdef"/"CommCfgDef" into the port's settings. Values read
    // are made safe (logPath terminated, and empty when it cannot name a file; a format outside
    // 0..3 gives 0; bad line settings fields, and a port name with a control character, their
    // defaults). False when the file could not be opened; nothing is reported.
    static bool Load(char (&logPath)[256], int32_t& displayFormat, CommPort& port);
    static bool Load(const char* filePath, char (&logPath)[256], int32_t& displayFormat, CommPort& port);

    // Replaces the file with logPath (all 256 bytes), displayFormat and the port's settings:
    // writes a new file beside it, named for this process (TempPath), and puts it in the old one's
    // place only once it reads back whole, so a failed save leaves the previous file as it was and
    // two copies saving at once each put their own file in place. First it removes, read-only or
    // not, what earlier saves left: such files of processes no longer running, and the file's name
    // with kNewSuffix that earlier versions used. False when any step failed, with its status code.
    static bool Save(const char (&logPath)[256], int32_t displayFormat, CommPort& port, HRESULT* status = nullptr);
    static bool Save(const char* filePath, const char (&logPath)[256], int32_t displayFormat, CommPort& port,
                     HRESULT* status = nullptr);
    static constexpr const char* kNewSuffix = ".new";
    // The new file of a save by process processId: filePath, a dot, the number, kNewSuffix; false
    // when it does not fit.
    static bool TempPath(const char* filePath, DWORD processId, char (&path)[260]);

    // Why a save failed, in the system's words. Where the system has no text for a storage code
    // (Wine has none for many), the text of the system error whose number the code carries.
    static void FailureText(HRESULT status, char (&text)[256]);

    // What Load does with a display format read from the file.
    static int32_t UsableDisplayFormat(int32_t format) { return format >= 0 && format <= 3 ? format : 0; }
    // Whether Load keeps a log file name read from the file: one holding a control character
    // (below 32, or 127, the same in every ANSI code page) names no file and gives the empty name.
    static bool IsUsableLogPath(const char* path);
    // Whether Load keeps a port name read from the file: by the same rule (otherwise "COM1").
    static bool IsUsablePortName(const char* name);
};
