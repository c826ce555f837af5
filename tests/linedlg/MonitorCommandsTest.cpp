#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "app/HelpViewer.h"
#include "app/MonitorWindow.h"
#include "resources/resource.h"
#include "support/Bench.h"
#include "tests/linedlg/DialogDriver.h"

namespace {

std::string windowText(HWND window)
{
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string portText(MonitorWindow& w) { return windowText(GetDlgItem(w.hwnd(), IDC_PORT_TEXT)); }

// Runs a monitor command that opens a modal dialog while script drives that dialog.
void commandWith(MonitorWindow& w, int command, const char* caption, std::function<void(DialogDriver&, HWND)> script)
{
    DialogDriver::Drive(caption, [&] { return w.commandIssued(command); }, script);
}

// Points the monitor at the bench line COM5 through the settings dialog.
void useLinePort(MonitorWindow& w)
{
    commandWith(w, ID_COMM_EDIT, "Serial Communications Settings", [](DialogDriver& d, HWND dlg) {
        d.Type(dlg, IDC_LS_PORT, bench::kLinePort);
        d.Choose(dlg, IDC_LS_BAUD, 4);  // 19.2K
        d.Click(dlg, IDOK);
    });
}

UINT menuState(MonitorWindow& w, int item) { return GetMenuState(GetMenu(w.hwnd()), item, MF_BYCOMMAND); }

struct FarEnd {
    HANDLE h = bench::openRaw(bench::kFarPort);
    FarEnd() { bench::drain(h); }
    ~FarEnd() { CloseHandle(h); }
};

}  // namespace

TEST(MonitorEdit, PortTextFollowsEveryOutcomeAndEditingIsOffWhileCommIsOn)
{
    MonitorWindow w;
    useLinePort(w);
    EXPECT_EQ(portText(w), "COM5  19200-N-8-1");

    // Cancel changes nothing, and the description is put into the control all the same.
    w.setText(IDC_PORT_TEXT, "stale", -1);
    commandWith(w, IDC_PORT_EDIT, "Serial Communications Settings", [](DialogDriver& d, HWND dlg) {
        d.Type(dlg, IDC_LS_PORT, "COM8");
        d.Click(dlg, IDCANCEL);
    });
    EXPECT_EQ(portText(w), "COM5  19200-N-8-1");

    HWND editButton = GetDlgItem(w.hwnd(), IDC_PORT_EDIT);
    EXPECT_TRUE(IsWindowEnabled(editButton));
    EXPECT_FALSE(menuState(w, ID_COMM_EDIT) & MF_GRAYED);
    FarEnd farEnd;
    w.commandIssued(ID_COMM_ON);
    bench::pump(200);
    ASSERT_TRUE(w.IsCommOn()) << w.Pane().Text();
    EXPECT_FALSE(IsWindowEnabled(editButton));
    EXPECT_TRUE(menuState(w, ID_COMM_EDIT) & MF_GRAYED);
    // The port opened with the dialog's settings: traffic of the line arrives.
    ASSERT_TRUE(bench::writeAll(farEnd.h, "line-ok", 7));
    EXPECT_TRUE(bench::pumpUntil([&] { return std::strstr(w.Pane().Text(), "line-ok") != nullptr; }, 5000));

    w.commandIssued(ID_COMM_OFF);
    EXPECT_TRUE(IsWindowEnabled(editButton));
    EXPECT_FALSE(menuState(w, ID_COMM_EDIT) & MF_GRAYED);
    w.close();
}

// The About box over the monitor, closed in each of its three ways: the monitor is disabled
// meanwhile, still shows arriving chunks, and is enabled and active afterwards.
TEST(MonitorAbout, ModalOverALiveMonitorAndClosedByCloseEscOrTheCloseBox)
{
    MonitorWindow w;
    useLinePort(w);
    FarEnd farEnd;
    w.commandIssued(ID_COMM_ON);
    bench::pump(200);
    ASSERT_TRUE(w.IsCommOn()) << w.Pane().Text();

    const char* ways[] = {"Close", "Esc", "close box"};
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(ways[way]);
        const std::string chunk = std::string("during-about-") + char('0' + way);
        bool monitorDisabled = false, chunkShown = false;
        std::string caption;
        commandWith(w, ID_HELP_ABOUT, "About Tavrenix", [&](DialogDriver& d, HWND box) {
            caption = d.Text(box);
            monitorDisabled = !IsWindowEnabled(w.hwnd());
            bench::writeAll(farEnd.h, chunk.data(), DWORD(chunk.size()));
            HWND pane = GetDlgItem(w.hwnd(), IDC_PANE);
            double end = bench::nowMs() + 5000;
            while (!chunkShown && bench::nowMs() < end) {
                chunkShown = d.Text(pane).find(chunk) != std::string::npos;
                Sleep(20);
            }
            if (way == 0) d.Click(box, IDCANCEL);
            if (way == 1) d.PressKey(VK_ESCAPE);
            if (way == 2) d.CloseBox(box);
        });
        EXPECT_EQ(caption, "About Tavrenix");
        EXPECT_TRUE(monitorDisabled);
        EXPECT_TRUE(chunkShown);
        EXPECT_TRUE(IsWindowEnabled(w.hwnd()));
        EXPECT_EQ(GetActiveWindow(), w.hwnd());
        EXPECT_TRUE(w.IsCommOn());
    }
    w.commandIssued(ID_COMM_OFF);
    w.close();
}

// Help > Contents through the system's engine: the program's help file opens; the engine is
// loaded once and reused; its window goes when the monitor window closes.
TEST(MonitorHelp, ContentsOpensTheProgramsHelpFileWithOneEngineLoad)
{
    MonitorWindow w;
    HelpViewer& viewer = HelpViewer::Program();
    EXPECT_FALSE(viewer.Loaded());
    w.commandIssued(ID_HELP_CONTENTS);
    ASSERT_TRUE(viewer.Loaded());
    EXPECT_EQ(viewer.RegistryReads(), 1);
    EXPECT_EQ(viewer.LoadAttempts(), 1);
    HWND help = FindWindowA(nullptr, "Tavrenix Help");  // the title inside tavrenix.chm
    EXPECT_NE(help, nullptr);
    w.commandIssued(ID_HELP_CONTENTS);
    EXPECT_EQ(viewer.RegistryReads(), 1);
    EXPECT_EQ(viewer.LoadAttempts(), 1);
    EXPECT_TRUE(IsWindowEnabled(w.hwnd()));  // help is not modal
    // The help window closes with the monitor window, not after the engine's code could be gone.
    w.close();
    EXPECT_FALSE(IsWindow(help));
}
