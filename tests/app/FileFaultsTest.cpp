// The window meeting files that do not fit or cannot be written: a chosen log path too long for
// its field, a settings file that Exit cannot replace, a port name with control characters.
#include <gtest/gtest.h>
#include <string>
#include "MonitorProcess.h"
#include "PaneLines.h"
#include "ScratchFolder.h"
#include "framework/UniqueHandle.h"
#include "support/Bench.h"

namespace {

// Waits for a dialog of the program, other than except, whose message is text.
HWND waitBoxSaying(const MonitorProcess& program, HWND except, const std::string& text, DWORD timeoutMs)
{
    HWND found = nullptr;
    bench::pumpUntil(
        [&] {
            HWND box = program.waitMessageBox(50);
            found = box && box != except && MonitorProcess::boxText(box) == text ? box : nullptr;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

}  // namespace

TEST(FileFaults, AChosenLogPathTooLongIsToldAndLeavesThePathAsItWas)
{
    ScratchFolder folder("longlog");
    const std::string old = folder.file("old.txt");
    ASSERT_TRUE(MonitorProcess::writeSettings(folder.path(), "COM7", 100, old.c_str(), 0));
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();
    ASSERT_EQ(program.text(1010), old);

    program.postCommand(40008);  // the open-file dialog is modal: posted
    HWND dialog = program.waitMessageBox(10000);
    ASSERT_NE(dialog, nullptr);
    // A name in an existing folder, 257 characters in all: the 256-character buffer cannot take it.
    const std::string chosen = folder.path() + "\\" + std::string(256 - folder.path().size(), 'n');
    ASSERT_EQ(chosen.size(), 257u);
    HWND name = GetDlgItem(dialog, 0x47C);  // the file name box of the explorer-style dialog
    if (!name) name = GetDlgItem(dialog, 0x480);
    ASSERT_NE(name, nullptr);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));

    HWND box = waitBoxSaying(program, dialog, "The chosen path is too long for the log file (at most 255 characters).", 10000);
    ASSERT_NE(box, nullptr) << "the too-long path was not told";
    MonitorProcess::pressOk(box);
    ASSERT_TRUE(bench::pumpUntil([&] { return program.waitMessageBox(50) == nullptr; }, 5000));

    // The path is the old one, in the box and where the log opens.
    EXPECT_EQ(program.text(1010), old);
    program.command(40009);
    std::vector<std::string> texts = paneTexts(program.paneText());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Loggin to (" + old + ")");
}

TEST(FileFaults, ExitTellsWhyTheSettingsWereNotSavedKeepsTheFileAndCloses)
{
    ScratchFolder folder("exitheld");
    const std::string def = folder.file("Tavrenix.def");
    ASSERT_TRUE(MonitorProcess::writeSettings(folder.path(), "COM7", 250, "", 0));
    const std::string written = ScratchFolder::read(def);
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();
    program.command(40018);  // a change a save would keep
    {
        // Another program holds the settings file, sharing it with nobody.
        UniqueFileHandle holder(CreateFileA(def.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        program.postCommand(40001);
        HWND box = program.waitMessageBox(10000);
        ASSERT_NE(box, nullptr) << "the settings were lost without a word";
        const std::string text = MonitorProcess::boxText(box);
        const std::string head = "The settings were not saved:\n  (" + def + ")\n";
        EXPECT_EQ(text.substr(0, head.size()), head);
        const std::string why = text.size() > head.size() ? text.substr(head.size()) : "";
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(why.find("Unknown error"), std::string::npos) << why;
        MonitorProcess::pressOk(box);
        DWORD code = 99;
        ASSERT_TRUE(program.waitExit(10000, &code));
        EXPECT_EQ(code, 0u);
    }
    EXPECT_EQ(ScratchFolder::read(def), written);
    WIN32_FIND_DATAA found;
    UniqueFind left(FindFirstFileA((def + "*.new").c_str(), &found));
    EXPECT_FALSE(left) << "left beside the file: " << found.cFileName;
}

TEST(FileFaults, APortNameWithControlCharactersShowsAsTheDefaultPort)
{
    ScratchFolder folder("portctl");
    ASSERT_TRUE(MonitorProcess::writeSettings(folder.path(), "CO\x1b[2JM5\r\n", 250, "", 0));
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();
    EXPECT_EQ(program.text(1001), MonitorProcess::describePort("COM1", 250));
}
