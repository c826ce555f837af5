#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "app/CaptureEntry.h"

namespace {

const DisplayFormat kFormats[] = {DisplayFormat::Normal, DisplayFormat::Hex, DisplayFormat::Mnemonic,
                                  DisplayFormat::AllHex};

// Renders into a guarded buffer and checks the length promise on the way.
std::string render(const CaptureEntry& e, DisplayFormat f)
{
    int32_t n = e.RenderedLength(f);
    std::vector<char> buf(size_t(n) + 8, '#');
    const char* r = e.Render(f, buf.data());
    EXPECT_EQ(r, buf.data());
    EXPECT_EQ(buf[size_t(n)], '\0');
    EXPECT_EQ(buf[size_t(n) + 1], '#') << "wrote past RenderedLength + 1";
    EXPECT_EQ(std::strlen(buf.data()), size_t(n)) << "a NUL inside the rendered text";
    return std::string(buf.data(), size_t(n));
}

TEST(CaptureEntry, LineEndsAndLetterInAllFormats)
{
    CaptureEntry e("\x0d\x0a\x41", 3);
    EXPECT_EQ(render(e, DisplayFormat::Normal), "\r\nA");
    EXPECT_EQ(render(e, DisplayFormat::Hex), "{0x0d}{0x0a}A");
    EXPECT_EQ(render(e, DisplayFormat::Mnemonic), "{CR}{LF}A");
    EXPECT_EQ(render(e, DisplayFormat::AllHex), "0D0A41");
    EXPECT_EQ(e.RenderedLength(DisplayFormat::Normal), 3);
    EXPECT_EQ(e.RenderedLength(DisplayFormat::Hex), 13);
    EXPECT_EQ(e.RenderedLength(DisplayFormat::Mnemonic), 9);
    EXPECT_EQ(e.RenderedLength(DisplayFormat::AllHex), 6);
}

TEST(CaptureEntry, TabNulDeleteHighBytesAndSpace)
{
    CaptureEntry tab("\t", 1);
    EXPECT_EQ(render(tab, DisplayFormat::Normal), ".");
    EXPECT_EQ(render(tab, DisplayFormat::Hex), "{0x09}");
    EXPECT_EQ(render(tab, DisplayFormat::Mnemonic), "{HI}");
    EXPECT_EQ(render(tab, DisplayFormat::AllHex), "09");

    const char nulByte[1] = {0};
    CaptureEntry nul(nulByte, 1);
    EXPECT_EQ(nul.Count(), 1);
    EXPECT_EQ(render(nul, DisplayFormat::Normal), ".");
    EXPECT_EQ(render(nul, DisplayFormat::Hex), "{0x00}");
    EXPECT_EQ(render(nul, DisplayFormat::Mnemonic), "{NUL}");
    EXPECT_EQ(render(nul, DisplayFormat::AllHex), "00");

    CaptureEntry high("\x7f\xff \x80", 4);
    for (DisplayFormat f : {DisplayFormat::Normal, DisplayFormat::Hex, DisplayFormat::Mnemonic})
        EXPECT_EQ(render(high, f), "\x7f\xff \x80");
    EXPECT_EQ(render(high, DisplayFormat::AllHex), "7FFF2080");

    // Other control codes pass unchanged in Normal.
    CaptureEntry bell("\x07\x1b", 2);
    EXPECT_EQ(render(bell, DisplayFormat::Normal), "\x07\x1b");
    EXPECT_EQ(render(bell, DisplayFormat::Hex), "{0x07}{0x1b}");
    EXPECT_EQ(render(bell, DisplayFormat::Mnemonic), "{BEL}{ESC}");
}

TEST(CaptureEntry, MnemonicTableKeepsItsNineUnusualNames)
{
    const char* expected[32] = {"NUL", "SOH", "SIX", "EIX", "EOI", "ENQ", "ACK", "BEL", "BS",  "HI",  "LF",
                                "VI",  "FF",  "CR",  "SO",  "SI",  "SLE", "CS1", "DC2", "DC3", "DC4", "NAK",
                                "SYN", "EIB", "CAN", "EM",  "SLB", "ESC", "FS",  "GS",  "RS",  "US"};
    for (int i = 0; i < 32; ++i) {
        EXPECT_STREQ(MnemonicTable[i], expected[i]) << i;
        size_t n = std::strlen(MnemonicTable[i]);
        EXPECT_TRUE(n == 2 || n == 3) << i;
    }
    EXPECT_STREQ(MnemonicTable[0x02], "SIX");
    EXPECT_STREQ(MnemonicTable[0x03], "EIX");
    EXPECT_STREQ(MnemonicTable[0x04], "EOI");
    EXPECT_STREQ(MnemonicTable[0x09], "HI");
    EXPECT_STREQ(MnemonicTable[0x0B], "VI");
    EXPECT_STREQ(MnemonicTable[0x10], "SLE");
    EXPECT_STREQ(MnemonicTable[0x11], "CS1");
    EXPECT_STREQ(MnemonicTable[0x17], "EIB");
    EXPECT_STREQ(MnemonicTable[0x1A], "SLB");
}

TEST(CaptureEntry, LengthsOfControlAndPrintableRuns)
{
    std::string controls;
    for (int i = 0; i < 32; ++i) controls += char(i);
    CaptureEntry c(controls.data(), 32);
    EXPECT_EQ(c.RenderedLength(DisplayFormat::Normal), 32);
    EXPECT_EQ(c.RenderedLength(DisplayFormat::Hex), 6 * 32);
    EXPECT_GE(c.RenderedLength(DisplayFormat::Mnemonic), 4 * 32);
    EXPECT_LE(c.RenderedLength(DisplayFormat::Mnemonic), 5 * 32);
    EXPECT_EQ(c.RenderedLength(DisplayFormat::AllHex), 64);
    std::string mne = render(c, DisplayFormat::Mnemonic);
    EXPECT_EQ(mne.substr(0, 15), "{NUL}{SOH}{SIX}");
    EXPECT_EQ(mne.substr(mne.size() - 4), "{US}");
    EXPECT_EQ(render(c, DisplayFormat::Hex).substr(6 * 31), "{0x1f}");

    std::string printable(300, 'z');
    CaptureEntry p(printable.data(), 300);
    for (DisplayFormat f : {DisplayFormat::Normal, DisplayFormat::Hex, DisplayFormat::Mnemonic})
        EXPECT_EQ(p.RenderedLength(f), 300);
    EXPECT_EQ(p.RenderedLength(DisplayFormat::AllHex), 600);
}

TEST(CaptureEntry, EveryByteValueRendersToItsLength)
{
    std::string all;
    for (int i = 0; i < 256; ++i) all += char(i);
    CaptureEntry e(all.data(), 256);
    for (DisplayFormat f : kFormats) render(e, f);
    std::string hex = render(e, DisplayFormat::AllHex);
    EXPECT_EQ(hex.substr(0, 6), "000102");
    EXPECT_EQ(hex.substr(hex.size() - 4), "FEFF");
    EXPECT_EQ(std::memcmp(e.Bytes(), all.data(), 256), 0) << "the entry keeps an exact copy";
}

TEST(CaptureEntry, EmptyEntryAndTextCount)
{
    CaptureEntry empty("", 0);
    CaptureEntry none(nullptr, 5);
    for (DisplayFormat f : kFormats) {
        EXPECT_EQ(empty.RenderedLength(f), 0);
        EXPECT_EQ(render(empty, f), "");
        EXPECT_EQ(none.RenderedLength(f), 0);
    }
    // A count of 0 takes the bytes as a terminated text.
    CaptureEntry text("a\tb", 0);
    EXPECT_EQ(text.Count(), 3);
    EXPECT_EQ(render(text, DisplayFormat::Normal), "a.b");
    CaptureEntry negative("abc", -4);
    EXPECT_EQ(negative.Count(), 0);
}

TEST(CaptureEntry, FormatOutsideTheRangeReadsAsNormal)
{
    EXPECT_EQ(ToDisplayFormat(0), DisplayFormat::Normal);
    EXPECT_EQ(ToDisplayFormat(1), DisplayFormat::Hex);
    EXPECT_EQ(ToDisplayFormat(2), DisplayFormat::Mnemonic);
    EXPECT_EQ(ToDisplayFormat(3), DisplayFormat::AllHex);
    EXPECT_EQ(ToDisplayFormat(4), DisplayFormat::Normal);
    EXPECT_EQ(ToDisplayFormat(-1), DisplayFormat::Normal);
    EXPECT_EQ(ToDisplayFormat(int32_t(0x80000000u)), DisplayFormat::Normal);

    CaptureEntry e("\x01z", 2);
    for (int32_t bad : {4, 7, -1, 1000000}) {
        auto f = static_cast<DisplayFormat>(bad);
        EXPECT_EQ(e.RenderedLength(f), 2);
        EXPECT_EQ(render(e, f), "\x01z");
    }
}

}  // namespace
