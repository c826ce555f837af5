#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>
#include "resources/resource.h"
#include "serial/CommPort.h"
#include "settings/CompoundFile.h"
#include "settings/SettingsFile.h"

#include "DamagedFileGenerator.h"
#include "TempFolder.h"

namespace {

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

INT_PTR CALLBACK plainDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The monitor window's dialog from the program's resources, hidden: its log path box with the
// program's font, without the program around it.
UniqueWindow monitorDialog()
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_MONITOR), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return UniqueWindow();
    std::vector<DWORD> copy((SizeofResource(nullptr, found) + 3) / 4);
    std::memcpy(copy.data(), bytes, SizeofResource(nullptr, found));
    copy[0] &= ~static_cast<DWORD>(WS_VISIBLE);  // DLGTEMPLATE starts with its style
    return UniqueWindow(CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                                   reinterpret_cast<const DLGTEMPLATE*>(copy.data()), nullptr,
                                                   plainDialog, 0));
}

// A file whose "appinfo" holds the 256 bytes of path and display format 1.
void writeAppInfo(const std::string& file, const char* path, std::size_t length)
{
    std::vector<char> app(260, 0);
    std::memcpy(app.data(), path, length);
    app[256] = 1;
    CompoundFile compound;
    ASSERT_TRUE(compound.Create(file.c_str()));
    SharedRef<StreamNode> stream = compound.Root()->CreateStream("appinfo");
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->Write(app.data(), 260), 260u);
}

std::string loadedLogPath(const std::string& file)
{
    char logPath[256];
    std::memset(logPath, 'Q', sizeof logPath);
    int32_t format = 0;
    CommPort port;
    EXPECT_TRUE(SettingsFile::Load(file.c_str(), logPath, format, port));
    EXPECT_EQ(format, 1);
    EXPECT_NE(std::memchr(logPath, 0, sizeof logPath), nullptr);
    return logPath;
}

}  // namespace

TEST(SettingsLogPath, AControlCharacterAnywhereGivesTheEmptyName)
{
    TempFolder dir;
    std::string file = dir.File("log.def");
    for (int c = 1; c < 128; ++c) {
        if (c >= 0x20 && c != 0x7F) continue;
        for (std::size_t at : {0u, 7u, 254u}) {
            std::string path = "C:\\logs\\capture-" + std::string(240, 'x');
            path[at] = static_cast<char>(c);
            writeAppInfo(file, path.c_str(), path.size());
            EXPECT_EQ(loadedLogPath(file), "") << "character " << c << " at " << at;
        }
    }
    EXPECT_FALSE(SettingsFile::IsUsableLogPath(nullptr));
    EXPECT_FALSE(SettingsFile::IsUsableLogPath("a\tb"));
    EXPECT_TRUE(SettingsFile::IsUsableLogPath(""));
}

TEST(SettingsLogPath, NamesOfPrintableCharactersAreKeptAsWritten)
{
    TempFolder dir;
    std::string file = dir.File("log.def");
    // Spaces, punctuation, characters above 127 and a name that fills the field.
    const std::string names[] = {"C:\\Program Files\\tav\\log 1.txt", "\\\\server\\share\\M\xFCller\\l\xF6g.txt",
                                 "D:\\[a]~{b}!@#$%^&()+=,;'`.txt", "relative.log", std::string(255, 'n')};
    for (const std::string& name : names) {
        writeAppInfo(file, name.c_str(), name.size());
        EXPECT_EQ(loadedLogPath(file), name);
        EXPECT_TRUE(SettingsFile::IsUsableLogPath(name.c_str()));
    }
}

// A file from the generator (the one a drill found: seed 667449844, RandomStreams case 3) put
// random bytes in the log path; the 64-bit program crashed showing them in its path box.
TEST(SettingsLogPath, RandomBytesNeverReachThePathBox)
{
    TempFolder dir;
    std::string file = dir.File("random.def");
    DamagedFileGenerator::Outcome want;
    ASSERT_TRUE(DamagedFileGenerator(667449844u).Write(Damage::RandomStreams, 3, file, want));
    {
        // Still the file that was found: its stream starts with these bytes.
        CompoundFile compound;
        ASSERT_TRUE(compound.OpenFile(file.c_str()));
        SharedRef<StreamNode> stream = compound.Root()->OpenStream("appinfo");
        ASSERT_TRUE(stream);
        unsigned char head[4] = {};
        ASSERT_EQ(stream->Read(head, 4), 4u);
        EXPECT_EQ(std::memcmp(head, "\xC7\x7D\x4E\xC0", 4), 0);
    }
    char logPath[256];
    int32_t format = 0;
    CommPort port;
    ASSERT_TRUE(SettingsFile::Load(file.c_str(), logPath, format, port));
    EXPECT_EQ(std::string(logPath), want.logPath);
    EXPECT_EQ(std::string(logPath), "");

    UniqueWindow dialog = monitorDialog();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(SetDlgItemTextA(dialog.get(), IDC_LOG_PATH, logPath));
    char shown[300] = "x";
    GetDlgItemTextA(dialog.get(), IDC_LOG_PATH, shown, sizeof shown);
    EXPECT_STREQ(shown, logPath);

    // What every damaged file of that kind and seed gives can be shown as well.
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(DamagedFileGenerator(667449844u).Write(Damage::RandomStreams, i, file, want));
        ASSERT_TRUE(SettingsFile::Load(file.c_str(), logPath, format, port));
        ASSERT_TRUE(SetDlgItemTextA(dialog.get(), IDC_LOG_PATH, logPath)) << i;
        GetDlgItemTextA(dialog.get(), IDC_LOG_PATH, shown, sizeof shown);
        EXPECT_STREQ(shown, logPath) << i;
    }
}
