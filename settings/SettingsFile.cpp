#include "settings/SettingsFile.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "framework/BoundedCopy.h"
#include "framework/UniqueHandle.h"
#include "serial/CommPort.h"
#include "serial/SysErrorText.h"
#include "settings/CompoundFile.h"
#include "settings/ProgramPath.h"

namespace {

constexpr const char* kAppInfo = "appinfo";
constexpr const char* kCommDef = "commdef";
constexpr const char* kCommCfgDef = "CommCfgDef";
constexpr std::size_t kAppInfoSize = 260;
// More than the file takes: header, tables, directory and mini stream, 512 bytes each.
constexpr std::size_t kRoomNeeded = 8192;

// The calling thread's last system error as a status code; a write fault when there is none.
HRESULT lastError()
{
    DWORD e = GetLastError();
    return HRESULT_FROM_WIN32(e ? e : ERROR_WRITE_FAULT);
}

// A wrapper's "%x" failure text back as its status code; a write fault when it holds none.
HRESULT statusOf(const char* text)
{
    unsigned long code = std::strtoul(text ? text : "", nullptr, 16);
    return code ? static_cast<HRESULT>(code) : STG_E_WRITEFAULT;
}

void appInfoBytes(const char (&logPath)[256], int32_t displayFormat, uint8_t (&bytes)[kAppInfoSize])
{
    std::memcpy(bytes, logPath, 256);
    std::memcpy(bytes + 256, &displayFormat, 4);
}

// Writes the three parts into a new compound file at path; the first failure's status.
HRESULT writeParts(const char* path, const uint8_t (&app)[kAppInfoSize], CommPort& port)
{
    // The file system makes the file and claims room for it first: the storage engine names a
    // folder that refuses the file or a full disk only vaguely (Wine's: E_FAIL, "Read fault").
    UniqueFileHandle made(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!made) return lastError();
    static const uint8_t room[kRoomNeeded] = {};
    DWORD written = 0;
    if (!WriteFile(made.get(), room, sizeof room, &written, nullptr) || written != sizeof room) return lastError();
    made.reset();
    CompoundFile file;
    if (!file.Create(path)) return file.Status();
    SharedRef<StorageNode> root = file.Root();
    if (!root) return E_POINTER;
    SharedRef<StreamNode> appInfo = root->CreateStream(kAppInfo);
    if (!appInfo) return statusOf(root->ErrorText());
    if (appInfo->Write(app, sizeof app) != sizeof app) return statusOf(appInfo->ErrorText());
    SharedRef<StorageNode> commDef = root->CreateStorage(kCommDef);
    if (!commDef) return statusOf(root->ErrorText());
    if (!port.SaveSettings(*commDef)) return statusOf(commDef->ErrorText());
    return S_OK;
}

// Reads the parts back from the file at path: S_OK when they hold exactly what was written.
HRESULT readBack(const char* path, const uint8_t (&app)[kAppInfoSize], CommPort& port)
{
    CompoundFile file;
    if (!file.OpenFile(path)) return file.Status();
    SharedRef<StorageNode> root = file.Root();
    SharedRef<StreamNode> appInfo = root ? root->OpenStream(kAppInfo) : SharedRef<StreamNode>();
    SharedRef<StorageNode> commDef = root ? root->OpenStorage(kCommDef) : SharedRef<StorageNode>();
    SharedRef<StreamNode> cfg = commDef ? commDef->OpenStream(kCommCfgDef) : SharedRef<StreamNode>();
    uint8_t appRead[kAppInfoSize + 1] = {};
    CommCfg cfgRead;
    bool whole = appInfo && cfg && appInfo->Size() == int64_t(sizeof app) &&
                 appInfo->Read(appRead, sizeof appRead) == sizeof app && std::memcmp(appRead, app, sizeof app) == 0 &&
                 cfg->Size() == int64_t(sizeof cfgRead) && cfg->Read(&cfgRead, sizeof cfgRead) == sizeof cfgRead &&
                 std::memcmp(&cfgRead, &port.Settings(), sizeof cfgRead) == 0;
    return whole ? S_OK : STG_E_WRITEFAULT;
}

// Asks the system to put the file's bytes on the disk before it takes the old file's place.
HRESULT flushToDisk(const char* path)
{
    UniqueFileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !FlushFileBuffers(file.get())) return lastError();
    return S_OK;
}

// Puts the new file in the old one's place. Another copy that has just put its own file there
// holds it open for a moment, which refuses the move: that refusal is tried again for half a second.
HRESULT moveIntoPlace(const char* from, const char* to)
{
    for (int tries = 25;; Sleep(20)) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return S_OK;
        HRESULT hr = lastError();
        if ((hr != HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED) && hr != HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)) ||
            --tries == 0)
            return hr;
    }
}

// Whether the process with that number runs; one that may not be asked is taken as running.
bool processRuns(DWORD processId)
{
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
    return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// Whether name is that of a save's new file beside base ("base.<number>.new"), and whose.
bool isTempOf(const char* name, const char* base, DWORD& processId)
{
    const std::size_t b = std::strlen(base), n = std::strlen(name), s = std::strlen(SettingsFile::kNewSuffix);
    if (n <= b + 1 + s || _strnicmp(name, base, b) != 0 || name[b] != '.' ||
        _stricmp(name + n - s, SettingsFile::kNewSuffix) != 0)
        return false;
    unsigned long long number = 0;
    for (std::size_t i = b + 1; i < n - s; ++i) {
        if (name[i] < '0' || name[i] > '9' || (number = number * 10 + unsigned(name[i] - '0')) > 0xFFFFFFFFull)
            return false;
    }
    processId = static_cast<DWORD>(number);
    return true;
}

// Removes the new files that earlier saves left beside filePath, clearing a read-only mark first:
// those of ended processes (this one's number too, which an ended one may have had) and the one
// name of earlier versions. A running copy's file stays: it is in the middle of its own save.
void removeLeftovers(const char* filePath)
{
    const char* slash = std::strrchr(filePath, '\\');
    if (const char* other = std::strrchr(filePath, '/')) slash = !slash || other > slash ? other : slash;
    const std::string folder(filePath, slash ? slash + 1 - filePath : 0);
    const std::string base = filePath + folder.size();
    WIN32_FIND_DATAA found;
    UniqueFind find(FindFirstFileA((std::string(filePath) + "*" + SettingsFile::kNewSuffix).c_str(), &found));
    for (bool more = bool(find); more; more = FindNextFileA(find.get(), &found)) {
        DWORD owner = 0;
        bool earlierVersions = _stricmp(found.cFileName, (base + SettingsFile::kNewSuffix).c_str()) == 0;
        if (!earlierVersions && !(isTempOf(found.cFileName, base.c_str(), owner) &&
                      (owner == GetCurrentProcessId() || !processRuns(owner))))
            continue;
        const std::string path = folder + found.cFileName;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

}  // namespace

bool SettingsFile::TempPath(const char* filePath, DWORD processId, char (&path)[260])
{
    int n = std::snprintf(path, sizeof path, "%s.%lu%s", filePath ? filePath : "", static_cast<unsigned long>(processId),
                          kNewSuffix);
    return n > 0 && static_cast<std::size_t>(n) < sizeof path;
}

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

bool SettingsFile::IsUsablePortName(const char* name)
{
    return IsUsableLogPath(name);
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
        if (SharedRef<StorageNode> commDef = root->OpenStorage(kCommDef)) {
            port.LoadSettings(*commDef);
            // Neither shown nor opened: the name falls back to the default port's.
            if (!IsUsablePortName(port.Settings().portName)) boundedCopy(port.Settings().portName, CommCfg().portName);
        }
    }
    file.CloseFile();
    return true;
}

bool SettingsFile::Save(const char (&logPath)[256], int32_t displayFormat, CommPort& port, HRESULT* status)
{
    char path[256];
    if (!DefaultPath(path)) {
        if (status) *status = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return Save(path, logPath, displayFormat, port, status);
}

bool SettingsFile::Save(const char* filePath, const char (&logPath)[256], int32_t displayFormat, CommPort& port,
                        HRESULT* status)
{
    char newPath[260];
    HRESULT hr = S_OK;
    if (!filePath || !filePath[0]) {
        hr = STG_E_INVALIDNAME;
    } else if (!TempPath(filePath, GetCurrentProcessId(), newPath)) {
        hr = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    } else {
        removeLeftovers(filePath);
        uint8_t app[kAppInfoSize];
        appInfoBytes(logPath, displayFormat, app);
        hr = writeParts(newPath, app, port);
        if (SUCCEEDED(hr)) hr = readBack(newPath, app, port);
        if (SUCCEEDED(hr)) hr = flushToDisk(newPath);
        if (SUCCEEDED(hr)) hr = moveIntoPlace(newPath, filePath);
        // What is left of a failed save goes; the previous file stays as it was.
        if (FAILED(hr)) DeleteFileA(newPath);
    }
    if (status) *status = hr;
    return SUCCEEDED(hr);
}

void SettingsFile::FailureText(HRESULT status, char (&text)[256])
{
    SysErrorText own(static_cast<DWORD>(status));
    // Storage codes below 0xF0 carry the number of the system error they stand for.
    bool carries = HRESULT_FACILITY(status) == FACILITY_WIN32 ||
                   (HRESULT_FACILITY(status) == FACILITY_STORAGE && HRESULT_CODE(status) < 0xF0);
    if (!own.FromSystem() && carries && HRESULT_CODE(status) != 0) {
        SysErrorText meant(static_cast<DWORD>(HRESULT_CODE(status)));
        if (meant.FromSystem()) {
            boundedCopy(text, meant.Text());
            return;
        }
    }
    boundedCopy(text, own.Text());
}
