// Comm On and Off with a live line: chunks in the pane in every format, failures, the lamp, Send.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "LampColor.h"
#include "MonitorProcess.h"
#include "PaneLines.h"
#include "ProgramOnLine.h"
#include "ScratchFolder.h"
#include "framework/UniqueHandle.h"
#include "support/Bench.h"

TEST(Comm, TrafficInEveryFormatClearAndRender)
{
    ProgramOnLine run("traffic");
    ASSERT_TRUE(run.ready());
    MonitorProcess& program = run.program;
    FarEnd& remote = run.remote;

    const std::string on = "[" + MonitorProcess::describePort(bench::kLinePort) + "] On";
    EXPECT_EQ(program.text(1001), MonitorProcess::describePort(bench::kLinePort));
    program.command(40011);
    EXPECT_TRUE(program.checked(1007));
    EXPECT_TRUE(program.menuChecked(40011));
    EXPECT_FALSE(program.menuChecked(40012));
    EXPECT_TRUE(program.menuGrayed(40004));
    EXPECT_FALSE(program.enabled(1002));
    program.command(40011);  // already on: nothing happens

    ASSERT_TRUE(remote.send("hello"));
    program.waitPane("hello\r\n", 3000);
    // Text put into the pane is not kept: the next entry brings the pane text back whole.
    program.type(1000, "typed over");
    bench::pump(300);  // a pause longer than the receive time-out ends the chunk
    ASSERT_TRUE(remote.send(std::string("\x02" "AB\x03 \t\x7F", 7)));
    std::string pane = program.waitPane("AB", 3000);

    std::vector<PaneLine> lines;
    std::string why;
    ASSERT_TRUE(splitPane(pane, lines, &why)) << why;
    ASSERT_EQ(lines.size(), 3u) << pane;
    EXPECT_EQ(lines[0].text, on);
    EXPECT_EQ(lines[1].text, "hello");
    EXPECT_EQ(lines[2].text, std::string("\x02" "AB\x03 .\x7F"));
    EXPECT_LE(lines[0].stamp, lines[2].stamp);

    // Data follows the format; the message keeps its Normal text.
    program.command(40007);
    EXPECT_EQ(paneTexts(program.paneText()),
              (std::vector<std::string>{on, "hello", "{0x02}AB{0x03} {0x09}\x7F"}));
    EXPECT_TRUE(program.menuChecked(40007));
    EXPECT_FALSE(program.menuChecked(40006));
    program.command(40017);
    EXPECT_EQ(paneTexts(program.paneText()), (std::vector<std::string>{on, "hello", "{SIX}AB{EIX} {HI}\x7F"}));
    EXPECT_TRUE(program.menuChecked(40017));
    EXPECT_FALSE(program.menuChecked(40007));
    program.command(40018);
    EXPECT_EQ(paneTexts(program.paneText()), (std::vector<std::string>{on, "68656C6C6F", "024142032009" "7F"}));
    EXPECT_TRUE(program.menuChecked(40018));

    // New data arrives in the current format; the time stamps survive re-rendering.
    ASSERT_TRUE(remote.send("Z"));
    pane = program.waitPane(": 5A\r\n", 3000);
    ASSERT_TRUE(splitPane(pane, lines, &why)) << why;
    ASSERT_EQ(lines.size(), 4u) << pane;
    EXPECT_EQ(lines[3].text, "5A");

    // Clear empties the pane; a format switch brings the kept entries back.
    program.command(40005);
    EXPECT_EQ(program.paneText(), "");
    program.command(40006);
    EXPECT_EQ(paneTexts(program.paneText()),
              (std::vector<std::string>{on, "hello", std::string("\x02" "AB\x03 .\x7F"), "Z"}));
    EXPECT_TRUE(program.menuChecked(40006));
    EXPECT_FALSE(program.menuChecked(40018));

    // Comm Off by clicking the checked box.
    program.click(1007);
    EXPECT_FALSE(program.checked(1007));
    EXPECT_TRUE(program.menuChecked(40012));
    EXPECT_FALSE(program.menuChecked(40011));
    EXPECT_FALSE(program.menuGrayed(40004));
    EXPECT_TRUE(program.enabled(1002));
    std::vector<std::string> texts = paneTexts(program.paneText());
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Comm port off.");
    // Nothing is received while Comm is off.
    ASSERT_TRUE(remote.send("quiet"));
    bench::pump(400);
    EXPECT_EQ(program.paneText().find("quiet"), std::string::npos);

    // And on again with the box: the line is live again.
    program.click(1007);
    EXPECT_TRUE(program.checked(1007));
    EXPECT_TRUE(program.menuChecked(40011));
    ASSERT_TRUE(remote.send("again"));
    pane = program.waitPane("again", 3000);
    texts = paneTexts(pane);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], on);
    EXPECT_EQ(texts.back(), "again");
}

TEST(Comm, PortThatDoesNotExist)
{
    ScratchFolder folder("noport");
    ASSERT_TRUE(MonitorProcess::writeSettings(folder.path(), "COM29", 100, "", 0));
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();

    program.command(40011);
    std::string pane = program.waitPane("Comm port off.", 3000);
    std::vector<std::string> texts = paneTexts(pane);
    ASSERT_EQ(texts.size(), 3u) << pane;
    EXPECT_EQ(texts[0], "[" + MonitorProcess::describePort("COM29") + "] On");
    EXPECT_EQ(texts[1].compare(0, 20, "Communication error:"), 0) << texts[1];
    EXPECT_EQ(texts[1].back(), '.');
    EXPECT_GT(texts[1].size(), 23u) << "the system's text is inside";
    EXPECT_EQ(texts[2], "Comm port off.");
    EXPECT_FALSE(program.checked(1007));
    EXPECT_TRUE(program.menuChecked(40012));
    EXPECT_FALSE(program.menuChecked(40011));
    EXPECT_FALSE(program.menuGrayed(40004));
    EXPECT_TRUE(program.enabled(1002));

    // Send fails the same way and says so in the pane; Comm stays off.
    program.click(1015);
    texts = paneTexts(program.waitPane("\r\n", 100));
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[3], texts[1]);
    EXPECT_TRUE(program.menuChecked(40012));
}

TEST(Comm, OffShowsWhatTheReadHeldBeforeTheOffLine)
{
    // A long receive time-out: the chunk is still being read when Comm goes off.
    ProgramOnLine run("off", 5000);
    ASSERT_TRUE(run.ready());
    MonitorProcess& program = run.program;
    FarEnd& remote = run.remote;
    program.command(40011);
    Sleep(100);
    ASSERT_TRUE(remote.send("last words"));
    Sleep(300);
    program.command(40012);
    std::vector<std::string> texts = paneTexts(program.waitPane("Comm port off.", 3000));
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "last words");
    EXPECT_EQ(texts[2], "Comm port off.");
    Sleep(200);
    EXPECT_EQ(paneTexts(program.text(1000)).size(), 3u) << "the chunk came once";
}

TEST(Comm, EveryHighByteIsShownAsItCame)
{
    // 0x98 first in a chunk or after a control code once crashed the 64-bit program under Wine
    // while the pane laid it out (a system font's shaping tables, without Wine's own fonts).
    ProgramOnLine run("high");
    ASSERT_TRUE(run.ready());
    MonitorProcess& program = run.program;
    FarEnd& remote = run.remote;
    program.command(40011);
    Sleep(100);
    std::string all;
    for (int c = 0x80; c <= 0xFF; ++c) all += char(c);
    const std::vector<std::string> chunks = {"\x98", "\x19\x98", "}\x98x", "\\\x98", all};
    for (const std::string& chunk : chunks) {
        ASSERT_TRUE(remote.send(chunk));
        Sleep(300);
        // A crashed process can linger a while; its window is gone at once.
        ASSERT_TRUE(program.running() && !program.text(1001).empty())
            << "the program failed on a chunk of " << chunk.size() << " bytes";
    }
    std::vector<std::string> texts = paneTexts(program.waitPane(all.substr(120) + "\r\n", 3000));
    ASSERT_EQ(texts.size(), 1 + chunks.size());
    for (size_t i = 0; i < chunks.size(); ++i) EXPECT_EQ(texts[i + 1], chunks[i]) << "chunk " << i;
}

TEST(Comm, LampFollowsCommAndTraffic)
{
    // A short receive time-out, so that chunks can come faster than one per tick.
    ProgramOnLine run("lamp", 5);
    ASSERT_TRUE(run.ready());
    MonitorProcess& program = run.program;
    FarEnd& remote = run.remote;

    auto lampAfter = [&](DWORD ms) {
        bench::pump(ms);
        return classifyLamp(program.lampPixel());
    };
    Lamp lamp = lampAfter(200);
    EXPECT_EQ(lamp, Lamp::Dark) << lampName(lamp);

    program.command(40011);
    lamp = lampAfter(300);
    EXPECT_EQ(lamp, Lamp::Bright) << lampName(lamp) << " pixel 0x" << std::hex << program.lampPixel();

    // A burst of chunks faster than the 50 ms tick: each chunk darkens the lamp until the next
    // tick, which shows the activity icon while chunks are counted down, one per tick.
    int seen[4] = {};
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(remote.send("#" + std::to_string(i)));
        bench::pump(15);
        ++seen[int(classifyLamp(program.lampPixel()))];
    }
    std::string pane = program.waitPane(": #59\r\n", 3000);
    size_t chunks = paneTexts(pane).size() - 1;
    Lamp last = Lamp::Unknown;
    double countdownStart = bench::nowMs();
    bool bright = bench::pumpUntil(
        [&] {
            last = classifyLamp(program.lampPixel());
            ++seen[int(last)];
            return last == Lamp::Bright;
        },
        10000);
    EXPECT_GE(seen[int(Lamp::Active)], 3) << chunks << " chunks; lamp samples: dark " << seen[0] << ", bright "
                                          << seen[1] << ", activity " << seen[2] << ", other " << seen[3];
    EXPECT_TRUE(bright) << "bright again once the chunks are counted down; still " << lampName(last) << " after "
                        << bench::nowMs() - countdownStart << " ms";

    program.command(40012);
    lamp = lampAfter(300);
    EXPECT_EQ(lamp, Lamp::Dark) << lampName(lamp);
}

TEST(Comm, SendWritesTheLineByteForByte)
{
    ProgramOnLine run("send");
    ASSERT_TRUE(run.ready());
    MonitorProcess& program = run.program;
    FarEnd& remote = run.remote;

    // With Comm off: the click takes the focus, the edit commits, then the text goes out as typed.
    const std::string first = "AT+X=%d %s ~ \xE9\xFF end";
    program.type(1014, first);
    program.click(1015);
    EXPECT_EQ(remote.receive(first.size(), 3000), first);
    EXPECT_EQ(program.paneText(), "") << "nothing is echoed";

    // Sending again sends the same text again.
    program.click(1015);
    EXPECT_EQ(remote.receive(first.size(), 3000), first);

    // With Comm on.
    program.command(40011);
    const std::string second = "second line";
    program.type(1014, second);
    program.click(1015);
    EXPECT_EQ(remote.receive(second.size(), 3000), second);
    bench::pump(200);
    EXPECT_EQ(remote.receive(1, 100), "") << "no line end added";
    EXPECT_EQ(paneTexts(program.paneText()).size(), 1u) << program.paneText();

    // An empty send line writes nothing.
    program.type(1014, "");
    program.click(1015);
    bench::pump(200);
    EXPECT_EQ(remote.receive(1, 100), "");
}

namespace {

// The threads of the program other than its window's.
std::vector<DWORD> otherThreads(HWND window)
{
    DWORD pid = 0;
    DWORD windowThread = GetWindowThreadProcessId(window, &pid);
    std::vector<DWORD> found;
    UniqueFileHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 t{};
    t.dwSize = sizeof t;
    for (BOOL more = snap && Thread32First(snap.get(), &t); more; more = Thread32Next(snap.get(), &t))
        if (t.th32OwnerProcessID == pid && t.th32ThreadID != windowThread) found.push_back(t.th32ThreadID);
    return found;
}

}  // namespace

TEST(Comm, ReceiverWhoseThreadIsGoneIsToldOnceAndCommGoesOff)
{
    ProgramOnLine run("nothread");
    ASSERT_TRUE(run.ready());
    MonitorProcess& program = run.program;
    // The receiver is the one thread the program starts besides its window's.
    std::vector<DWORD> threads = otherThreads(program.window());
    ASSERT_EQ(threads.size(), 1u) << "cannot tell the receiver's thread";
    UniqueHandle thread(OpenThread(THREAD_TERMINATE | SYNCHRONIZE, FALSE, threads[0]));
    ASSERT_TRUE(thread);
    ASSERT_TRUE(TerminateThread(thread.get(), 3));
    ASSERT_EQ(WaitForSingleObject(thread.get(), 2000), WAIT_OBJECT_0);

    double t0 = bench::nowMs();
    program.command(40011);
    EXPECT_LT(bench::nowMs() - t0, 2000.0) << "Comm On waited for the thread that is gone";
    std::vector<std::string> texts = paneTexts(program.waitPane("Comm port off.", 3000));
    ASSERT_EQ(texts.size(), 3u) << program.paneText();
    EXPECT_EQ(texts[0], "[" + MonitorProcess::describePort(bench::kLinePort) + "] On");
    EXPECT_EQ(texts[1].compare(0, 21, "Communication error:("), 0) << texts[1];
    EXPECT_EQ(texts[2], "Comm port off.");
    EXPECT_FALSE(program.checked(1007));
    EXPECT_TRUE(program.menuChecked(40012));
    bench::pump(300);
    EXPECT_EQ(paneTexts(program.paneText()).size(), 3u) << "said once";
}

TEST(Comm, OffRacingALineErrorSwitchesOffOnce)
{
    const std::string flag = bench::lineErrorFlag();
    ASSERT_FALSE(flag.empty()) << "TAV_LINE_ERRORS is set for this test program";
    ProgramOnLine run("offrace");
    ASSERT_TRUE(run.ready());
    MonitorProcess& program = run.program;
    const std::string on = "[" + MonitorProcess::describePort(bench::kLinePort) + "] On";
    auto raise = [&](bool up) {
        if (!up) return DeleteFileA(flag.c_str()) != 0;
        UniqueFileHandle f(CreateFileA(flag.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return static_cast<bool>(f);
    };
    // Comm Off at varied moments after the line starts failing, until the time is up.
    double slowest = 0, end = bench::nowMs() + 15000;
    int rounds = 0, errorsShown = 0;
    for (; rounds < 40 && bench::nowMs() < end; ++rounds) {
        program.command(40005);
        program.command(40011);
        bench::pump(30);
        ASSERT_TRUE(raise(true));
        Sleep(DWORD(rounds % 6));
        double t0 = bench::nowMs();
        program.command(40012);
        slowest = std::max(slowest, bench::nowMs() - t0);
        raise(false);
        bench::pump(150);
        std::vector<std::string> texts = paneTexts(program.paneText());
        ASSERT_GE(texts.size(), 2u) << "round " << rounds << ": " << program.paneText();
        EXPECT_EQ(texts.front(), on);
        EXPECT_EQ(texts.back(), "Comm port off.") << "round " << rounds;
        // Either Comm Off came first, or the error did and switched Comm off itself: never both.
        if (texts.size() == 3) {
            EXPECT_EQ(texts[1], "Comm Line error:(80).") << "round " << rounds;
            ++errorsShown;
        } else {
            EXPECT_EQ(texts.size(), 2u) << "round " << rounds << ": " << program.paneText();
        }
        if (HasFailure()) break;
    }
    raise(false);
    std::printf("%d rounds, %d with the error first, slowest Comm Off %.0f ms\n", rounds, errorsShown, slowest);
    EXPECT_LT(slowest, 2000.0) << "a Comm Off waited for seconds";
    EXPECT_GT(errorsShown, 0) << "the line never failed in time: the race was not run";
}
