#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include "framework/Application.h"
#include "tests/framework/Recorder.h"
#include "tests/framework/TestIds.h"

namespace {

// The modal box owned by owner, once it is up (null after the time-out).
HWND waitForBox(HWND owner)
{
    for (int i = 0; i < 500; ++i) {
        HWND found = nullptr;
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            char cls[16];
            GetClassNameA(w, cls, sizeof cls);
            if (std::string(cls) == "#32770" && GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) found = w;
        }
        if (found) return found;
        Sleep(20);
    }
    return nullptr;
}

std::string textOf(HWND w)
{
    char text[300] = "";
    SendMessageA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST(Boxes, ShowMessageIsAWarningOwnedByTheDialog)
{
    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    std::string caption, body;
    HWND owner = d.hwnd();
    int result;
    {
        Helper answer([&] {
            HWND box = waitForBox(owner);
            if (!box) return;
            caption = textOf(box);
            body = textOf(GetDlgItem(box, 0xFFFF));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        result = d.showMessage("Cannot open the log file.", "Log file");
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(caption, "Log file");
    EXPECT_EQ(body, "Cannot open the log file.");
}

TEST(Boxes, ChooseFileFillsThePathOrReportsCancelAndKeepsTheCurrentFolder)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string file = std::string(folder) + "tavfw_choose.txt";
    if (FILE* f = std::fopen(file.c_str(), "w")) std::fclose(f);
    // A current folder other than the one the file is chosen in: later relative paths depend on it.
    char original[MAX_PATH], current[MAX_PATH];
    GetCurrentDirectoryA(sizeof original, original);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));

    EventLog log;
    RecordingDialog d(log, IDD_BARE);
    HWND owner = d.hwnd();
    char path[256] = "rs485log.txt";
    bool chosen;
    {
        Helper answer([&] {
            HWND box = waitForBox(owner);
            if (!box) return;
            // The file name field: a combo box (cmb13) in the explorer style, else edt1.
            HWND name = GetDlgItem(box, 0x47c);
            if (!name) name = GetDlgItem(box, 0x480);
            SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        });
        chosen = d.chooseFile(path, "Text files\0*.txt\0All files\0*.*\0", folder, false);
    }
    EXPECT_TRUE(chosen);
    EXPECT_EQ(lstrcmpiA(path, file.c_str()), 0) << path;
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_STREQ(current, "C:\\");

    {
        Helper cancel([&] {
            HWND box = waitForBox(owner);
            if (box) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        });
        chosen = d.chooseFile(path, "All files\0*.*\0", nullptr, false);
    }
    EXPECT_FALSE(chosen);
    DeleteFileA(file.c_str());
    SetCurrentDirectoryA(original);
}
