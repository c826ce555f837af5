// The disk log driven through the window: periods, appending, line ends, warnings, big chunks,
// flushing each tick and a failing device.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "FarEnd.h"
#include "ProgramOnLine.h"
#include "MonitorProcess.h"
#include "PaneLines.h"
#include "ScratchFolder.h"
#include "support/Bench.h"

namespace {

// Log off in every control and menu item.
void expectLogOff(const MonitorProcess& program)
{
    EXPECT_FALSE(program.checked(1003));
    EXPECT_TRUE(program.menuChecked(40010));
    EXPECT_FALSE(program.menuChecked(40009));
    EXPECT_FALSE(program.menuGrayed(40008));
    EXPECT_TRUE(program.enabled(1010));
    EXPECT_TRUE(program.enabled(1005));
}

void expectLogOn(const MonitorProcess& program)
{
    EXPECT_TRUE(program.checked(1003));
    EXPECT_TRUE(program.menuChecked(40009));
    EXPECT_FALSE(program.menuChecked(40010));
    EXPECT_TRUE(program.menuGrayed(40008));
    EXPECT_FALSE(program.enabled(1010));
    EXPECT_FALSE(program.enabled(1005));
}

}  // namespace

TEST(Log, TwoPeriodsAppendEveryPaneLine)
{
    ProgramOnLine run("log");
    ASSERT_TRUE(run.ready());
    MonitorProcess& program = run.program;
    FarEnd& line = run.remote;
    ScratchFolder& folder = run.folder;
    const std::string log = folder.file("capture.txt");
    ASSERT_TRUE(ScratchFolder::write(log, "older content\r\n"));

    // The typed path commits when the box takes the focus, then the box turns logging on.
    program.type(1010, log);
    program.click(1003);
    expectLogOn(program);
    std::vector<std::string> texts = paneTexts(program.paneText());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Loggin to (" + log + ")");

    program.command(40011);
    ASSERT_TRUE(line.send("one"));
    program.waitPane(": one\r\n", 3000);
    // Within a tick or two the line is on disk, with the log still open.
    bool flushed = bench::pumpUntil([&] { return ScratchFolder::read(log).find(": one\r\n") != std::string::npos; }, 400);
    EXPECT_TRUE(flushed) << ScratchFolder::read(log);

    // A line feed from the line is stored as CR LF; the format of the moment is logged.
    bench::pump(250);
    ASSERT_TRUE(line.send("a\nb"));
    program.waitPane("a\nb\r\n", 3000);
    program.command(40018);
    bench::pump(250);
    ASSERT_TRUE(line.send(std::string("\x01z", 2)));
    program.waitPane(": 017A\r\n", 3000);
    program.click(1003);
    expectLogOff(program);
    // The pane shows the data in AllHex now; the log keeps what was written at the time.
    std::vector<PaneLine> first;
    std::string why;
    ASSERT_TRUE(splitPane(program.paneText(), first, &why)) << why;
    ASSERT_EQ(first.size(), 6u) << program.paneText();
    const std::string on = first[1].text;
    EXPECT_EQ(on.compare(0, 6, "[COM5 "), 0) << on;
    const std::vector<std::string> shown = {"Loggin to (" + log + ")", on, "6F6E65", "610A62", "017A",
                                            "Logging stopped."};
    const std::vector<std::string> logged = {"Loggin to (" + log + ")", on, "one", "a\r\nb", "017A",
                                             "Logging stopped."};
    std::string expected = "older content\r\n";
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].text, shown[i]);
        expected += first[i].stamp + ": " + logged[i] + "\r\n";
    }

    // The second period from the menu, with the path of the last commit.
    program.command(40006);
    program.command(40009);
    expectLogOn(program);
    bench::pump(250);
    ASSERT_TRUE(line.send("two"));
    program.waitPane(": two\r\n", 3000);
    program.command(40012);
    program.command(40010);
    expectLogOff(program);
    std::string pane = program.paneText();
    ASSERT_NE(pane.rfind("Loggin to ("), std::string::npos);
    ASSERT_GE(pane.rfind("Loggin to ("), 14u);
    std::string second = paneSegment(pane.substr(pane.rfind("Loggin to (") - 14), "Loggin to (",
                                     "Logging stopped.");
    EXPECT_EQ(paneTexts(second),
              (std::vector<std::string>{"Loggin to (" + log + ")", "two", "Comm port off.", "Logging stopped."}));
    expected += asLogged(second);

    EXPECT_EQ(ScratchFolder::read(log), expected);
}

TEST(Log, WarningsForBlankAndUnopenablePaths)
{
    ScratchFolder folder("logwarn");
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();

    // Blanks and commas only: blank.
    program.type(1010, " , \t,");
    program.postClick(1003);
    HWND box = program.waitMessageBox(5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MonitorProcess::boxText(box), "Can't open log, file name is blank.");
    EXPECT_EQ(MonitorProcess::caption(box), "");
    MonitorProcess::pressOk(box);
    ASSERT_TRUE(bench::pumpUntil([&] { return !IsWindow(box); }, 5000));
    expectLogOff(program);
    EXPECT_EQ(program.paneText(), "");

    // The menu way with the same blank path.
    program.postCommand(40009);
    box = program.waitMessageBox(5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MonitorProcess::boxText(box), "Can't open log, file name is blank.");
    MonitorProcess::pressOk(box);
    ASSERT_TRUE(bench::pumpUntil([&] { return !IsWindow(box); }, 5000));
    expectLogOff(program);

    // A folder that does not exist.
    const std::string missing = folder.file("no such folder") + "\\log.txt";
    program.type(1010, missing);
    program.postClick(1003);
    box = program.waitMessageBox(5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MonitorProcess::boxText(box), "Error attempting to open log file:\n  (" + missing + ")");
    EXPECT_EQ(MonitorProcess::caption(box), "");
    MonitorProcess::pressOk(box);
    ASSERT_TRUE(bench::pumpUntil([&] { return !IsWindow(box); }, 5000));
    expectLogOff(program);
    EXPECT_EQ(program.paneText(), "");
}

TEST(Log, WholeChunkOf2000BytesReachesTheLog)
{
    ScratchFolder folder("logbig");
    const std::string log = folder.file("big.txt");
    ASSERT_TRUE(MonitorProcess::writeSettings(folder.path(), bench::kLinePort, 100, log.c_str(), 0));
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();
    FarEnd line;
    ASSERT_TRUE(line.open());
    EXPECT_EQ(program.text(1010), log);

    program.command(40009);
    program.command(40011);
    std::string chunk;
    for (int i = 0; i < 2000; ++i) chunk += char('A' + i % 26);
    chunk.replace(1990, 10, "<the end!>");
    ASSERT_TRUE(line.send(chunk));
    std::string pane = program.waitPane("<the end!>", 3000);
    std::vector<PaneLine> lines;
    ASSERT_TRUE(splitPane(pane, lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].text.size(), chunk.size());
    EXPECT_TRUE(lines[2].text == chunk) << "the pane shows the whole chunk";
    program.command(40010);

    std::string logged = ScratchFolder::read(log);
    size_t at = logged.find(lines[2].stamp + ": ");
    ASSERT_NE(at, std::string::npos) << logged.substr(0, 200);
    EXPECT_TRUE(logged.substr(at + 14, chunk.size() + 2) == chunk + "\r\n")
        << "logged: " << logged.size() - at << " bytes from the line's start";
}

TEST(Log, FailingWriteIsToldOnceAndLoggingEnds)
{
    ScratchFolder folder("logfull");
    // Every write to this device fails: the disk is full.
    const std::string full = "Z:\\dev\\full";
    ASSERT_TRUE(MonitorProcess::writeSettings(folder.path(), bench::kLinePort, 100, full.c_str(), 0));
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();
    FarEnd line;
    ASSERT_TRUE(line.open());

    program.command(40009);
    const std::string failure = "Error writing log file (" + full + "); logging stopped.";
    std::string pane = program.waitPane(failure, 2000);
    std::vector<std::string> texts = paneTexts(pane);
    ASSERT_EQ(texts.size(), 2u) << pane;
    EXPECT_EQ(texts[0], "Loggin to (" + full + ")");
    EXPECT_EQ(texts[1], failure);
    expectLogOff(program);

    // Logging has ended: more traffic, no second report.
    program.command(40011);
    ASSERT_TRUE(line.send("after"));
    pane = program.waitPane(": after\r\n", 3000);
    bench::pump(300);
    texts = paneTexts(program.paneText());
    ASSERT_EQ(texts.size(), 4u) << program.paneText();
    EXPECT_EQ(texts[3], "after");

    // Logging can be turned on again to a good file.
    const std::string good = folder.file("good.txt");
    program.type(1010, good);
    program.click(1003);
    expectLogOn(program);
    program.click(1003);
    std::string logged = ScratchFolder::read(good);
    EXPECT_NE(logged.find(": Loggin to (" + good + ")\r\n"), std::string::npos) << logged;
    EXPECT_NE(logged.find(": Logging stopped.\r\n"), std::string::npos) << logged;
}

namespace {

// The file name field of the open-file dialog.
HWND fileNameField(HWND dialog)
{
    HWND field = GetDlgItem(dialog, 0x47C);  // cmb13
    return field ? field : GetDlgItem(dialog, 0x480);  // edt1
}

std::string fieldText(HWND field)
{
    char text[512] = "";
    DWORD_PTR got = 0;
    SendMessageTimeoutA(field, WM_GETTEXT, sizeof text, LPARAM(text), SMTO_ABORTIFHUNG, 5000, &got);
    return text;
}

}  // namespace

TEST(Log, SelectFileProposesTheDefaultAndAddsTxt)
{
    ScratchFolder folder("select");
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();

    // Blank path: the dialog proposes rs485log.txt; cancelling keeps that name for Log On while
    // the edit still shows the old text.
    program.type(1010, " ,");
    program.postClick(1005);
    HWND dialog = program.waitMessageBox(10000);
    ASSERT_NE(dialog, nullptr);
    HWND field = fileNameField(dialog);
    ASSERT_NE(field, nullptr);
    EXPECT_NE(fieldText(field).find("rs485log.txt"), std::string::npos) << fieldText(field);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(bench::pumpUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_EQ(program.text(1010), " ,");
    program.command(40009);
    const std::string defaultLog = folder.file("rs485log.txt");
    EXPECT_EQ(paneTexts(program.paneText()), (std::vector<std::string>{"Loggin to (" + defaultLog + ")"}));
    program.command(40010);
    bool exists = false;
    EXPECT_NE(ScratchFolder::read(defaultLog, &exists).find("Logging stopped."), std::string::npos);
    EXPECT_TRUE(exists);

    // A name without an extension gets ".txt".
    program.postCommand(40008);
    dialog = program.waitMessageBox(10000);
    ASSERT_NE(dialog, nullptr);
    field = fileNameField(dialog);
    ASSERT_NE(field, nullptr);
    const std::string chosen = folder.file("capture");
    SendMessageA(field, WM_SETTEXT, 0, LPARAM(chosen.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(bench::pumpUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_EQ(program.text(1010), chosen + ".txt");
    program.command(40009);
    EXPECT_EQ(paneTexts(program.paneText()).back(), "Loggin to (" + chosen + ".txt)");
    program.command(40010);
}
