#include "settings/SettingsFile.h"
#include <cstdio>
#include <cstring>
#include "serial/CommPort.h"
#include "settings/CompoundFile.h"
#include "settings/ProgramPath.h"

namespace {

constexpr const char* kAppInfo = "appinfo";
constexpr const char* kCommDef = "commdef";

}  // namespace

bool SettingsFile::DefaultPath(char (&path)[256])
{
    const char* folder = ProgramPath::ProgramFolder(ProgramPath::kDrive | ProgramPath::kDirectory);
    int n = std::snprintf(path, sizeof path, "%s%s", folder, kFileName);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof path) {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool SettingsFile::IsUsableLogPath(const char* path)
{
    if (!path) return false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p; ++p)
        if (*p < 0x20 || *p == 0x7F) return false;
    return true;
}

bool SettingsFile::Load(char (&logPath)[256], int32_t& displayFormat, CommPort& port)
{
    logPath[0] = '\0';
    displayFormat = 0;
    char path[256];
    if (!DefaultPath(path)) return false;
    return Load(path, logPath, displayFormat, port);
}

bool SettingsFile::Load(const char* filePath, char (&logPath)[256], int32_t& displayFormat, CommPort& port)
{
    logPath[0] = '\0';
    displayFormat = 0;
    CompoundFile file;
    if (!file.OpenFile(filePath)) return false;
    {
        SharedRef<StorageNode> root = file.Root();
        if (!root) return false;
        if (SharedRef<StreamNode> appInfo = root->OpenStream(kAppInfo)) {
            uint32_t got = appInfo->Read(logPath, sizeof logPath);
            // A name without its terminator ends where the bytes read end, inside the buffer.
            if (!std::memchr(logPath, '\0', got)) logPath[got < sizeof logPath ? got : sizeof logPath - 1] = '\0';
            // Neither opened nor shown: such text in the path box can crash 64-bit Wine's text layout.
            if (!IsUsableLogPath(logPath)) std::memset(logPath, 0, sizeof logPath);
            appInfo->Read(&displayFormat, sizeof displayFormat);
            displayFormat = UsableDisplayFormat(displayFormat);
        }
        if (SharedRef<StorageNode> commDef = root->OpenStorage(kCommDef)) port.LoadSettings(*commDef);
    }
    file.CloseFile();
    return true;
}

bool SettingsFile::Save(const char (&logPath)[256], int32_t displayFormat, CommPort& port)
{
    char path[256];
    if (!DefaultPath(path)) return false;
    return Save(path, logPath, displayFormat, port);
}

bool SettingsFile::Save(const char* filePath, const char (&logPath)[256], int32_t displayFormat, CommPort& port)
{
    CompoundFile file;
    if (!file.Create(filePath)) return false;
    bool whole = false;
    {
        SharedRef<StorageNode> root = file.Root();
        if (!root) return false;
        bool appWritten = false;
        if (SharedRef<StreamNode> appInfo = root->CreateStream(kAppInfo)) {
            appWritten = appInfo->Write(logPath, sizeof logPath) == sizeof logPath;
            appWritten = appInfo->Write(&displayFormat, sizeof displayFormat) == sizeof displayFormat && appWritten;
        }
        bool commWritten = false;
        if (SharedRef<StorageNode> commDef = root->CreateStorage(kCommDef)) commWritten = port.SaveSettings(*commDef);
        whole = appWritten && commWritten;
    }
    file.CloseFile();
    return whole;
}
