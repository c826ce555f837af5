#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include "app/CapturePane.h"

namespace {

SYSTEMTIME at(WORD h, WORD m, WORD s, WORD ms)
{
    SYSTEMTIME t{};
    t.wYear = 2024;
    t.wMonth = 5;
    t.wDay = 17;
    t.wHour = h;
    t.wMinute = m;
    t.wSecond = s;
    t.wMilliseconds = ms;
    return t;
}

const SYSTEMTIME kNoon = at(12, 0, 0, 0);

std::string data(int n, char fill) { return std::string(size_t(n), fill); }

const char* addData(CapturePane& p, const std::string& bytes, const SYSTEMTIME& t = kNoon)
{
    return p.AddEntry(int32_t(bytes.size()), bytes.data(), false, t);
}

int countLines(const std::string& text)
{
    int n = 0;
    for (size_t i = text.find("\r\n"); i != std::string::npos; i = text.find("\r\n", i + 2)) ++n;
    return n;
}

TEST(CapturePane, MessageLineHasFourteenCharacterTimePrefix)
{
    CapturePane p;
    const char* log = p.AddMessage("Comm port off.", at(13, 5, 9, 7));
    EXPECT_STREQ(log, "13:05:09.007: Comm port off.");
    EXPECT_STREQ(p.Text(), "13:05:09.007: Comm port off.\r\n");
    EXPECT_EQ(p.Length(), int32_t(std::strlen(p.Text())));

    log = addData(p, "ab", at(0, 0, 0, 0));
    EXPECT_STREQ(log, "00:00:00.000: ab");
    log = addData(p, "", at(23, 59, 59, 999));
    EXPECT_STREQ(log, "23:59:59.999: ");
    EXPECT_STREQ(p.Text(), "13:05:09.007: Comm port off.\r\n00:00:00.000: ab\r\n23:59:59.999: \r\n");
    EXPECT_EQ(p.LineSpace(1, DisplayFormat::Normal), 16);
    char line[64];
    EXPECT_STREQ(p.RenderLine(1, DisplayFormat::AllHex, line), "00:00:00.000: 6162");
}

TEST(CapturePane, FormatSwitchChangesDataButNotMessages)
{
    CapturePane p;
    p.AddMessage("[COM1  9600-N-8-1] On", at(10, 0, 0, 1));
    addData(p, "\r\nA", at(10, 0, 0, 2));
    p.AddMessage("tab\there", at(10, 0, 0, 3));
    EXPECT_TRUE(p.SetDisplayFormat(1));
    EXPECT_EQ(p.Format(), DisplayFormat::Hex);
    EXPECT_STREQ(p.Text(),
                 "10:00:00.001: [COM1  9600-N-8-1] On\r\n"
                 "10:00:00.002: {0x0d}{0x0a}A\r\n"
                 "10:00:00.003: tab.here\r\n");
    // New lines use the new format; the log line matches the pane line.
    EXPECT_STREQ(addData(p, "\x02", at(10, 0, 0, 4)), "10:00:00.004: {0x02}");
    EXPECT_TRUE(p.SetDisplayFormat(2));
    EXPECT_NE(std::string(p.Text()).find("10:00:00.004: {SIX}\r\n"), std::string::npos);
    EXPECT_TRUE(p.SetDisplayFormat(3));
    EXPECT_NE(std::string(p.Text()).find("10:00:00.002: 0D0A41\r\n"), std::string::npos);
    EXPECT_NE(std::string(p.Text()).find("10:00:00.003: tab.here\r\n"), std::string::npos);
    EXPECT_FALSE(p.SetDisplayFormat(3)) << "the same format renders the same text";
}

TEST(CapturePane, NewestEightyNineOfHundredFitAfterSwitch)
{
    CapturePane p;
    for (int i = 0; i < 100; ++i) addData(p, data(30, char('A' + i % 26)), at(1, 2, 3, WORD(i)));
    EXPECT_EQ(p.History().Size(), 100);
    p.SetDisplayFormat(0);
    // Each line takes 46 bytes: 1 + 89 * 46 = 4095.
    EXPECT_EQ(p.Length(), 89 * 46);
    std::string text = p.Text();
    EXPECT_EQ(countLines(text), 89);
    EXPECT_EQ(text.substr(0, 46), "01:02:03.011: " + data(30, char('A' + 11)) + "\r\n");
    EXPECT_EQ(text.substr(text.size() - 46), "01:02:03.099: " + data(30, char('A' + 99 % 26)) + "\r\n");
}

TEST(CapturePane, SixBytesFreeDropsTheNeedFromTheStart)
{
    CapturePane p;
    for (int i = 0; i < 88; ++i) addData(p, data(30, char('a' + i % 26)));
    addData(p, data(26, '#'));
    ASSERT_EQ(p.Length(), 4090) << "6 bytes free";
    std::string before = p.Text();
    // 23 bytes: need = 23 + 17 = 40.
    const char* log = addData(p, data(23, '+'), at(9, 9, 9, 9));
    std::string line = "09:09:09.009: " + data(23, '+');
    EXPECT_EQ(std::string(log), line);
    EXPECT_EQ(std::string(p.Text()), before.substr(40) + line + "\r\n");
    EXPECT_EQ(p.Length(), 4089);
    EXPECT_EQ(std::string(p.Text()).substr(0, 6), "aaaa\r\n") << "the pane starts inside a line";
}

TEST(CapturePane, HundredFirstEntryDropsTheOldestFromHistoryOnly)
{
    CapturePane p;
    for (int i = 0; i < 101; ++i) addData(p, "e" + std::to_string(i), at(0, 0, WORD(i / 60), WORD(i)));
    EXPECT_EQ(p.History().Size(), 100);
    EXPECT_EQ(p.History().Total(), 101);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.History().Entry(0).Bytes()), 2), "e1");
    EXPECT_EQ(p.History().Time(0).wMilliseconds, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.History().Entry(99).Bytes()), 4), "e100");
    std::string text = p.Text();
    EXPECT_EQ(text.substr(0, 17), "00:00:00.000: e0\r") << "its line is still in the pane";
    EXPECT_EQ(countLines(text), 101);
    p.SetDisplayFormat(0);
    text = p.Text();
    EXPECT_EQ(countLines(text), 100);
    EXPECT_EQ(text.substr(0, 17), "00:00:00.001: e1\r");
}

TEST(CapturePane, HistoryKeepsStampsAndFlagsAcrossTheWrap)
{
    CaptureHistory h;
    for (int i = 0; i < 250; ++i) {
        std::string b = std::to_string(i);
        EXPECT_EQ(h.Add(int32_t(b.size()), b.data(), i % 3 == 0, at(0, 0, 0, WORD(i))), i < 100 ? i : 99);
    }
    EXPECT_EQ(h.Size(), 100);
    EXPECT_EQ(h.Total(), 250);
    for (int i = 0; i < 100; ++i) {
        int k = 150 + i;
        std::string b = std::to_string(k);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(h.Entry(i).Bytes()), b.size()), b);
        EXPECT_EQ(h.Time(i).wMilliseconds, k);
        EXPECT_EQ(h.IsMessage(i), k % 3 == 0);
    }
}

TEST(CapturePane, ClearKeepsHistoryForTheNextSwitch)
{
    CapturePane p;
    EXPECT_FALSE(p.ClearPane()) << "nothing to clear";
    for (int i = 0; i < 5; ++i) addData(p, "x\x01");
    p.AddMessage("Logging stopped.");
    std::string full = p.Text();
    EXPECT_TRUE(p.ClearPane());
    EXPECT_STREQ(p.Text(), "");
    EXPECT_EQ(p.Length(), 0);
    EXPECT_EQ(p.History().Size(), 6);
    EXPECT_TRUE(p.SetDisplayFormat(0));
    EXPECT_EQ(std::string(p.Text()), full);
    p.ClearPane();
    p.SetDisplayFormat(2);
    EXPECT_EQ(countLines(p.Text()), 6);
    EXPECT_NE(std::string(p.Text()).find("x{SOH}\r\n"), std::string::npos);
}

TEST(CapturePane, LineLongerThanThePaneGoesWholeToTheLog)
{
    CapturePane p;
    p.SetDisplayFormat(1);
    addData(p, "before");
    // 700 control codes in Hex: 4200 characters, need 4217.
    std::string chunk = data(700, '\x03');
    const char* log = addData(p, chunk, at(8, 0, 0, 0));
    std::string expected = "08:00:00.000: ";
    for (int i = 0; i < 700; ++i) expected += "{0x03}";
    EXPECT_EQ(std::string(log), expected) << "the log gets every byte's text";
    EXPECT_EQ(p.Length(), 4095);
    std::string text = p.Text();
    EXPECT_EQ(text, expected.substr(0, 4093) + "\r\n") << "the pane shows the line's beginning";

    // The next line trims the start as usual.
    log = addData(p, "after", at(8, 0, 0, 1));
    EXPECT_STREQ(log, "08:00:00.001: after");
    text = p.Text();
    EXPECT_EQ(text.substr(text.size() - 21), "08:00:00.001: after\r\n");
    EXPECT_LE(p.Length(), 4095);

    // A format switch leaves out an entry whose line cannot fit, and everything older.
    addData(p, chunk, at(8, 0, 0, 2));
    p.SetDisplayFormat(1);
    EXPECT_EQ(p.Length(), 0);
    p.SetDisplayFormat(0);
    EXPECT_EQ(countLines(p.Text()), 4);
}

TEST(CapturePane, FormatOutsideTheRangeIsNormal)
{
    CapturePane p;
    addData(p, "\t");
    p.SetDisplayFormat(2);
    EXPECT_EQ(p.Format(), DisplayFormat::Mnemonic);
    p.SetDisplayFormat(9);
    EXPECT_EQ(p.Format(), DisplayFormat::Normal);
    EXPECT_STREQ(p.Text(), "12:00:00.000: .\r\n");
    p.SetDisplayFormat(-3);
    EXPECT_EQ(p.Format(), DisplayFormat::Normal);
}

TEST(CapturePane, ShowMessageFormatsAndStampsNow)
{
    CapturePane p;
    SYSTEMTIME before;
    GetLocalTime(&before);
    const char* log = p.ShowMessage("[%s] On", "COM5  9600-N-8-1");
    SYSTEMTIME after;
    GetLocalTime(&after);
    ASSERT_EQ(std::strlen(log), 14 + 21u);
    EXPECT_STREQ(log + 14, "[COM5  9600-N-8-1] On");
    char hhmm[8];
    std::snprintf(hhmm, sizeof hhmm, "%02d:%02d", before.wHour, before.wMinute);
    std::string first = hhmm;
    std::snprintf(hhmm, sizeof hhmm, "%02d:%02d", after.wHour, after.wMinute);
    std::string stamp(log, 5);
    EXPECT_TRUE(stamp == first || stamp == hhmm) << stamp;
    EXPECT_EQ(log[8], '.');
    EXPECT_TRUE(p.History().IsMessage(0));
    // A text from elsewhere is shown as it is.
    p.AddMessage("100% done %s");
    EXPECT_NE(std::string(p.Text()).find(": 100% done %s\r\n"), std::string::npos);
}

TEST(CapturePane, RandomTrafficKeepsThePaneBounded)
{
    std::mt19937 rng(12345);
    CapturePane p;
    std::string shadow;  // what the pane would show without a limit
    for (int round = 0; round < 3000; ++round) {
        int kind = int(rng() % 20);
        if (kind == 0) {
            p.SetDisplayFormat(int32_t(rng() % 6) - 1);
            shadow.clear();
            continue;
        }
        if (kind == 1) {
            p.ClearPane();
            continue;
        }
        int n = int(rng() % (kind == 2 ? 1023 : 60));
        std::string bytes;
        for (int i = 0; i < n; ++i) bytes += char(rng() % 256);
        SYSTEMTIME t = at(WORD(rng() % 24), WORD(rng() % 60), WORD(rng() % 60), WORD(rng() % 1000));
        std::string log = p.AddEntry(n, bytes.data(), kind == 3, t);
        CaptureEntry e(bytes.data(), n);
        DisplayFormat f = kind == 3 ? DisplayFormat::Normal : p.Format();
        ASSERT_EQ(log.size(), size_t(e.RenderedLength(f) + 14));
        ASSERT_LE(p.Length(), 4095);
        ASSERT_EQ(size_t(p.Length()), std::strlen(p.Text()));
        std::string text = p.Text();
        ASSERT_GE(text.size(), 2u);
        ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
        // The pane ends with the new line, or with as much of its beginning as fits.
        std::string shown = log.size() + 2 <= 4095 ? log : log.substr(0, 4093);
        ASSERT_EQ(text.substr(text.size() - shown.size() - 2, shown.size()), shown);
    }
}

}  // namespace

// A control that took the text at MarkShown and then only the cut and the tail shows the pane
// text exactly, whatever sizes of lines came in between (pane emptied, lines longer than it).
TEST(CapturePane, CutAndTailSinceMarkShownGiveTheText)
{
    CapturePane p;
    EXPECT_TRUE(p.Rebuilt());
    std::string shown;
    std::mt19937 rng(17);
    for (int round = 0; round < 300; ++round) {
        if (round % 50 == 0) {
            // Set whole: at start, and after a format switch or a clear.
            shown = p.Text();
            p.MarkShown();
            EXPECT_FALSE(p.Rebuilt());
        }
        int entries = int(rng() % 4);
        for (int i = 0; i < entries; ++i) {
            static const int sizes[] = {1, 30, 700, 1500, 4100};
            addData(p, data(sizes[rng() % 5], char('a' + rng() % 26)));
        }
        ASSERT_FALSE(p.Rebuilt());
        ASSERT_LE(p.ShownDropped(), int32_t(shown.size()));
        shown = shown.substr(size_t(p.ShownDropped())) + (p.Text() + p.ShownKept());
        ASSERT_EQ(shown, p.Text()) << "round " << round;
        p.MarkShown();
        if (round % 50 == 49) {
            if (round % 100 == 49)
                p.SetDisplayFormat(3);
            else
                p.ClearPane();
            EXPECT_TRUE(p.Rebuilt());
        }
    }
}
