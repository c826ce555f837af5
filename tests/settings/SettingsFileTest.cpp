#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "serial/CommPort.h"
#include "framework/UniqueHandle.h"
#include "settings/CompoundFile.h"
#include "settings/ProgramPath.h"
#include "settings/SettingsFile.h"

#include "SampleSettings.h"
#include "TempFolder.h"

namespace {

std::vector<char> streamBytes(StorageNode& node, const char* name)
{
    std::vector<char> bytes;
    SharedRef<StreamNode> s = node.OpenStream(name);
    if (!s) return bytes;
    bytes.resize(static_cast<std::size_t>(s->Size()));
    bytes.resize(s->Read(bytes.data(), static_cast<uint32_t>(bytes.size())));
    return bytes;
}

bool sameRecord(const CommCfg& a, const CommCfg& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A file with the given bytes as "appinfo" and, unless null, as "commdef"/"CommCfgDef".
void writeFile(const std::string& path, const std::vector<char>& app, const std::vector<char>* cfg)
{
    CompoundFile file;
    ASSERT_TRUE(file.Create(path.c_str()));
    SharedRef<StorageNode> root = file.Root();
    ASSERT_EQ(root->CreateStream("appinfo")->Write(app.data(), static_cast<uint32_t>(app.size())), app.size());
    if (cfg) {
        SharedRef<StorageNode> commDef = root->CreateStorage("commdef");
        ASSERT_TRUE(commDef);
        ASSERT_EQ(commDef->CreateStream("CommCfgDef")->Write(cfg->data(), static_cast<uint32_t>(cfg->size())), cfg->size());
    }
}

std::vector<char> appInfo(const char* logPath, int32_t format)
{
    std::vector<char> bytes(260, 0);
    std::strncpy(bytes.data(), logPath, 256);
    std::memcpy(bytes.data() + 256, &format, 4);
    return bytes;
}

// This test program started again with args, as another copy saving beside this one.
UniqueHandle startCopy(const std::string& args)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string line = "\"" + std::string(exe) + "\" " + args;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(exe, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) return {};
    CloseHandle(started.hThread);
    return UniqueHandle(started.hProcess);
}

}  // namespace

TEST(SettingsFile, RoundTripGivesBackTheSameBytes)
{
    TempFolder dir;
    std::string first = dir.File("first.def");
    char logPath[256];
    SampleSettings::FillLogPath(logPath);
    CommPort saved;
    SampleSettings::FillPort(saved);
    ASSERT_TRUE(SettingsFile::Save(first.c_str(), logPath, 2, saved));

    char loadedPath[256];
    std::memset(loadedPath, 'Q', sizeof loadedPath);
    int32_t format = 3;
    CommPort loaded;
    ASSERT_TRUE(SettingsFile::Load(first.c_str(), loadedPath, format, loaded));
    EXPECT_EQ(std::memcmp(loadedPath, logPath, sizeof logPath), 0);  // all 256 bytes, the tail too
    EXPECT_EQ(format, 2);
    EXPECT_TRUE(sameRecord(loaded.Settings(), saved.Settings()));

    // Saving what was loaded writes the same streams again.
    std::string second = dir.File("second.def");
    ASSERT_TRUE(SettingsFile::Save(second.c_str(), loadedPath, format, loaded));
    CompoundFile a, b;
    ASSERT_TRUE(a.OpenFile(first.c_str()));
    ASSERT_TRUE(b.OpenFile(second.c_str()));
    SharedRef<StorageNode> ra = a.Root(), rb = b.Root();
    std::vector<char> appA = streamBytes(*ra, "appinfo");
    EXPECT_EQ(appA.size(), 260u);
    EXPECT_EQ(appA, streamBytes(*rb, "appinfo"));
    SharedRef<StorageNode> ca = ra->OpenStorage("commdef"), cb = rb->OpenStorage("commdef");
    ASSERT_TRUE(ca && cb);
    std::vector<char> cfgA = streamBytes(*ca, "CommCfgDef");
    ASSERT_EQ(cfgA.size(), 60u);
    EXPECT_EQ(cfgA, streamBytes(*cb, "CommCfgDef"));
    EXPECT_EQ(std::memcmp(cfgA.data(), &saved.Settings(), 60), 0);
}

TEST(SettingsFile, AppInfoWithoutCommDefKeepsDefaultLineSettings)
{
    TempFolder dir;
    std::string path = dir.File("appinfo-only.def");
    writeFile(path, appInfo("C:\\logs\\a.txt", 3), nullptr);
    char logPath[256];
    int32_t format = 0;
    CommPort port;
    EXPECT_TRUE(SettingsFile::Load(path.c_str(), logPath, format, port));
    EXPECT_STREQ(logPath, "C:\\logs\\a.txt");
    EXPECT_EQ(format, 3);
    EXPECT_TRUE(sameRecord(port.Settings(), CommCfg()));
    EXPECT_STREQ(port.Settings().portName, "COM1");
}

TEST(SettingsFile, MissingDamagedOrLockedFileLeavesAllDefaults)
{
    TempFolder dir;
    std::string missing = dir.File("missing.def");
    std::string locked = dir.File("locked.def");
    SampleSettings::ExpectRefusedWithDefaults(missing.c_str());
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);  // a load creates nothing

    writeFile(locked, appInfo("x", 1), nullptr);
    CompoundFile holder;
    ASSERT_TRUE(holder.OpenFile(locked.c_str()));
    char logPath[256] = "stale";
    int32_t format = 2;
    CommPort port;
    EXPECT_FALSE(SettingsFile::Load(locked.c_str(), logPath, format, port));
    EXPECT_STREQ(logPath, "");
    EXPECT_EQ(format, 0);
    // Saving over a file in use fails and leaves it alone.
    char newPath[256] = "new";
    EXPECT_FALSE(SettingsFile::Save(locked.c_str(), newPath, 1, port));
    holder.CloseFile();
    EXPECT_TRUE(SettingsFile::Load(locked.c_str(), logPath, format, port));
    EXPECT_STREQ(logPath, "x");
    EXPECT_EQ(format, 1);
}

TEST(SettingsFile, SaveReplacesTheWholeFile)
{
    TempFolder dir;
    std::string path = dir.File("replace.def");
    {
        CompoundFile file;
        ASSERT_TRUE(file.Create(path.c_str()));
        ASSERT_TRUE(file.Root()->CreateStream("junk"));
        ASSERT_TRUE(file.Root()->CreateStorage("more"));
    }
    char logPath[256] = "";
    CommPort port;
    ASSERT_TRUE(SettingsFile::Save(path.c_str(), logPath, 0, port));
    CompoundFile file;
    ASSERT_TRUE(file.OpenFile(path.c_str()));
    SharedRef<StorageNode> root = file.Root();
    SharedRef<NameList> streams = root->ListStreams(nullptr);
    SharedRef<NameList> storages = root->ListStorages(nullptr);
    ASSERT_EQ(streams->Count(), 1);
    EXPECT_STREQ(streams->Item(0), "appinfo");
    ASSERT_EQ(storages->Count(), 1);
    EXPECT_STREQ(storages->Item(0), "commdef");
}

TEST(SettingsFile, SaveIntoAMissingFolderWritesNothing)
{
    TempFolder dir;
    std::string path = dir.File("no-such-folder\\Tavrenix.def");
    char logPath[256] = "x";
    CommPort port;
    EXPECT_FALSE(SettingsFile::Save(path.c_str(), logPath, 0, port));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsFile, ShortStreamsLeaveTheRestOfTheirTarget)
{
    TempFolder dir;
    std::string path = dir.File("short.def");
    std::vector<char> app(100, 'p');  // no terminator in what is there
    CommCfg cfg;
    std::memset(cfg.portName, 0, sizeof cfg.portName);
    std::memcpy(cfg.portName, "COM9", 4);
    cfg.baudRate = 57600;
    std::vector<char> record(reinterpret_cast<char*>(&cfg), reinterpret_cast<char*>(&cfg) + 44);  // name and speed
    writeFile(path, app, &record);
    char logPath[256];
    std::memset(logPath, 'Q', sizeof logPath);
    int32_t format = 3;
    CommPort port;
    port.Settings().parity = ODDPARITY;  // not in the stream: stays
    ASSERT_TRUE(SettingsFile::Load(path.c_str(), logPath, format, port));
    EXPECT_EQ(std::string(logPath), std::string(100, 'p'));  // ends where the bytes read end
    EXPECT_EQ(format, 0);
    EXPECT_STREQ(port.Settings().portName, "COM9");
    EXPECT_EQ(port.Settings().baudRate, 57600);
    EXPECT_EQ(port.Settings().parity, ODDPARITY);
    EXPECT_EQ(port.Settings().dataBits, 8);
    EXPECT_EQ(port.Settings().rxTimeoutMs, 100);
}

TEST(SettingsFile, BadValuesFallBackFieldByField)
{
    TempFolder dir;
    std::string path = dir.File("bad.def");
    std::vector<char> app(260, 'L');  // 256 characters without a terminator
    int32_t badFormat = 4;
    std::memcpy(app.data() + 256, &badFormat, 4);
    CommCfg cfg;
    std::memset(cfg.portName, 'N', sizeof cfg.portName);  // unterminated
    cfg.baudRate = 14400;  // odd but usable: kept
    cfg.parity = 9;
    cfg.dataBits = 3;
    cfg.stopBits = 1;
    cfg.rxTimeoutMs = 0;
    std::vector<char> record(reinterpret_cast<char*>(&cfg), reinterpret_cast<char*>(&cfg) + 60);
    writeFile(path, app, &record);

    char logPath[256];
    int32_t format = 1;
    CommPort port;
    ASSERT_TRUE(SettingsFile::Load(path.c_str(), logPath, format, port));
    EXPECT_EQ(std::string(logPath), std::string(255, 'L'));
    EXPECT_EQ(format, 0);
    const CommCfg& got = port.Settings();
    EXPECT_EQ(std::string(got.portName), std::string(39, 'N'));
    EXPECT_EQ(got.baudRate, 14400);
    EXPECT_EQ(got.parity, NOPARITY);
    EXPECT_EQ(got.dataBits, 8);
    EXPECT_EQ(got.stopBits, 1);
    EXPECT_EQ(got.rxTimeoutMs, 100);

    for (int32_t f : {-1, 0, 3, 4, 1000}) {
        std::memcpy(app.data() + 256, &f, 4);
        writeFile(path, app, nullptr);
        ASSERT_TRUE(SettingsFile::Load(path.c_str(), logPath, format, port));
        EXPECT_EQ(format, f >= 0 && f <= 3 ? f : 0) << f;
    }
}

TEST(SettingsFile, DefaultFileLiesBesideTheProgram)
{
    char path[256];
    ASSERT_TRUE(SettingsFile::DefaultPath(path));
    EXPECT_EQ(std::string(path), std::string(ProgramPath::ProgramFolder(3)) + "Tavrenix.def");
    DeleteFileA(path);

    char logPath[256] = "stale";
    int32_t format = 2;
    CommPort port;
    EXPECT_FALSE(SettingsFile::Load(logPath, format, port));
    EXPECT_STREQ(logPath, "");
    EXPECT_EQ(format, 0);

    char saved[256] = "C:\\capture.txt";
    SampleSettings::FillPort(port);
    ASSERT_TRUE(SettingsFile::Save(saved, 1, port));
    EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
    CommPort next;
    EXPECT_TRUE(SettingsFile::Load(logPath, format, next));
    EXPECT_STREQ(logPath, "C:\\capture.txt");
    EXPECT_EQ(format, 1);
    EXPECT_TRUE(sameRecord(next.Settings(), port.Settings()));
    EXPECT_TRUE(DeleteFileA(path));
}

TEST(SettingsFile, AFailedSaveLeavesThePreviousFileWholeAndSaysWhy)
{
    TempFolder dir;
    const std::string path = dir.File("kept.def");
    char beside[260];
    ASSERT_TRUE(SettingsFile::TempPath(path.c_str(), GetCurrentProcessId(), beside));
    char logPath[256] = "C:\\kept.txt";
    CommPort port;
    ASSERT_TRUE(SettingsFile::Save(path.c_str(), logPath, 2, port));
    char other[256] = "C:\\other.txt";
    auto saveFails = [&](const char* what) {
        HRESULT status = S_OK;
        EXPECT_FALSE(SettingsFile::Save(path.c_str(), other, 1, port, &status)) << what;
        EXPECT_TRUE(FAILED(status)) << what;
    };
    auto expectKept = [&](const char* what) {
        char loaded[256];
        int32_t format = 0;
        CommPort back;
        EXPECT_TRUE(SettingsFile::Load(path.c_str(), loaded, format, back)) << what;
        EXPECT_STREQ(loaded, "C:\\kept.txt") << what;
        EXPECT_EQ(format, 2) << what;
    };

    // The new file cannot be made beside the old one (a folder has its name).
    ASSERT_TRUE(CreateDirectoryA(beside, nullptr));
    saveFails("no new file");
    expectKept("no new file");
    RemoveDirectoryA(beside);

    // The old file cannot be replaced while another program holds it.
    {
        CompoundFile holder;
        ASSERT_TRUE(holder.OpenFile(path.c_str()));
        saveFails("file in use");
    }
    expectKept("file in use");
    EXPECT_EQ(GetFileAttributesA(beside), INVALID_FILE_ATTRIBUTES) << "nothing of a failed save stays";

    ASSERT_TRUE(SettingsFile::Save(path.c_str(), other, 1, port));
    EXPECT_EQ(GetFileAttributesA(beside), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsFile, FailureTextsOfStorageCodesAreTheSystemsWords)
{
    // Wine has no text for these storage codes; each stands for a system error that has one.
    for (HRESULT code : {STG_E_ACCESSDENIED, STG_E_MEDIUMFULL, STG_E_WRITEFAULT, STG_E_SHAREVIOLATION,
                         HRESULT_FROM_WIN32(ERROR_DISK_FULL)}) {
        char why[256];
        SettingsFile::FailureText(code, why);
        EXPECT_GT(std::strlen(why), 5u) << std::hex << code;
        EXPECT_EQ(std::string(why).find("Unknown error"), std::string::npos) << why;
    }
    char why[256];
    SettingsFile::FailureText(static_cast<HRESULT>(0x8003FFF0), why);  // no text anywhere
    EXPECT_STREQ(why, "Unknown error 0x8003FFF0");
}

TEST(SettingsFile, APortNameWithAControlCharacterGivesTheDefaultPort)
{
    TempFolder dir;
    const std::string path = dir.File("portname.def");
    CommPort port;
    auto loadName = [&](const char* name) {
        CommCfg cfg;
        std::memset(cfg.portName, 0, sizeof cfg.portName);
        std::memcpy(cfg.portName, name, std::strlen(name));
        cfg.baudRate = 19200;
        std::vector<char> record(reinterpret_cast<char*>(&cfg), reinterpret_cast<char*>(&cfg) + 60);
        writeFile(path, appInfo("", 0), &record);
        char logPath[256];
        int32_t format = 0;
        port.Settings() = CommCfg();
        EXPECT_TRUE(SettingsFile::Load(path.c_str(), logPath, format, port));
        EXPECT_EQ(port.Settings().baudRate, 19200) << "only the name falls back";
        return std::string(port.Settings().portName);
    };
    for (const char* name : {"CO\x01M5", "\x1b[2J", "COM7\x7f", "COM\t8"}) EXPECT_EQ(loadName(name), "COM1");
    // Printable names stay, the upper half of the code page included.
    for (const char* name : {"\\\\.\\COM12", "COM\xe9"}) EXPECT_EQ(loadName(name), name);
}

TEST(SettingsFile, LeftoversOfEarlierSavesNeverBlockASaveAndGo)
{
    TempFolder dir;
    const std::string path = dir.File("left.def");
    UniqueHandle ended = startCopy("--save-loop x 0 0");
    ASSERT_TRUE(ended && WaitForSingleObject(ended.get(), 30000) == WAIT_OBJECT_0);
    char own[260], endeds[260];
    ASSERT_TRUE(SettingsFile::TempPath(path.c_str(), GetCurrentProcessId(), own));
    ASSERT_TRUE(SettingsFile::TempPath(path.c_str(), GetProcessId(ended.get()), endeds));
    // Read-only, which refuses writing and deleting: of this process's number, of an ended one's,
    // of the name earlier versions used.
    auto exists = [](const std::string& f) { return GetFileAttributesA(f.c_str()) != INVALID_FILE_ATTRIBUTES; };
    for (const std::string& f : {std::string(own), std::string(endeds), path + SettingsFile::kNewSuffix}) {
        UniqueFileHandle(CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr));
        ASSERT_TRUE(exists(f)) << f;
    }
    char logPath[256] = "C:\\left.txt";
    CommPort port;
    EXPECT_TRUE(SettingsFile::Save(path.c_str(), logPath, 1, port));
    EXPECT_FALSE(exists(own) || exists(endeds) || exists(path + SettingsFile::kNewSuffix));
}

TEST(SettingsFile, TwoCopiesSavingAtOnceEachPutTheirOwnFileInPlace)
{
    TempFolder dir;
    const std::string path = dir.File("both.def");
    const std::string save = "--save-loop \"" + path + "\" 40 ";
    UniqueHandle copies[] = {startCopy(save + "1"), startCopy(save + "3")};
    for (UniqueHandle& copy : copies) {
        ASSERT_TRUE(copy && WaitForSingleObject(copy.get(), 60000) == WAIT_OBJECT_0);
        DWORD failed = 99;
        GetExitCodeProcess(copy.get(), &failed);
        EXPECT_EQ(failed, 0u) << "saves that failed";  // a copy's file taken or moved by the other
    }
    // The last one wins whole: a log path and a format of the same copy.
    char logPath[256];
    int32_t format = 0;
    CommPort port;
    ASSERT_TRUE(SettingsFile::Load(path.c_str(), logPath, format, port));
    EXPECT_EQ(std::string(logPath), "C:\\" + std::to_string(format));
    EXPECT_TRUE(format == 1 || format == 3) << format;
}
