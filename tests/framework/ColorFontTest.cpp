#include <gtest/gtest.h>
#include "framework/ColorTable.h"
#include "framework/ControlWrapper.h"
#include "framework/DialogWindow.h"
#include "framework/FontMaker.h"
#include "framework/UniqueHandle.h"
#include "tests/framework/Recorder.h"
#include "tests/framework/TestIds.h"

namespace {

struct Pixels {
    int black = 0, yellow = 0, face = 0, other = 0;
};

// Counts the colours the control shows, read back from the screen.
Pixels pixelsOf(HWND control)
{
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(control, &r);
    HDC dc = GetDC(control);
    Pixels p;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int y = 0; y < r.bottom; ++y) {
        for (int x = 0; x < r.right; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c == 0) ++p.black;
            else if (c == RGB(224, 224, 0) || c == 0x00E0E0) ++p.yellow;
            else if (c == face) ++p.face;
            else ++p.other;
        }
    }
    ReleaseDC(control, dc);
    return p;
}

}  // namespace

TEST(Colors, TableSchemesAndBrushCache)
{
    EXPECT_EQ(ColorTable::color(0), 0u);
    EXPECT_EQ(ColorTable::color(2), 0xFFFFFFu);
    EXPECT_EQ(ColorTable::color(3), 0x0000FFu);  // red in the low byte
    EXPECT_EQ(ColorTable::color(5), 0xFF0000u);
    EXPECT_EQ(ColorTable::color(6), 0x00E0E0u);
    EXPECT_EQ(ColorTable::color(7), 0u);
    EXPECT_EQ(ColorTable::color(-1), 0u);
    EXPECT_EQ(ColorTable::scheme(1).brush, 6);
    EXPECT_EQ(ColorTable::scheme(1).text, 1);
    EXPECT_EQ(ColorTable::scheme(1).background, 6);
    EXPECT_EQ(ColorTable::scheme(0).brush, 0);
    EXPECT_EQ(ColorTable::scheme(9).text, 0);

    int made = ColorTable::brushesMade();
    EXPECT_EQ(ColorTable::brush(0), nullptr);
    EXPECT_EQ(ColorTable::brush(7), nullptr);
    EXPECT_EQ(ColorTable::brushesMade(), made);
    HBRUSH yellow = ColorTable::brush(6);
    ASSERT_NE(yellow, nullptr);
    EXPECT_EQ(ColorTable::brush(6), yellow);
    EXPECT_EQ(ColorTable::brushesMade(), made + 1);
    LOGBRUSH lb{};
    GetObjectA(yellow, sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, 0x00E0E0u);
}

TEST(Colors, AnswerSetsOnlyNonZeroColours)
{
    HDC dc = GetDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    EXPECT_EQ(ColorTable::answer(dc, ColorTriple{}), nullptr);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
    EXPECT_EQ(ColorTable::answer(dc, ColorTriple{6, 3, 2}), ColorTable::brush(6));
    EXPECT_EQ(GetTextColor(dc), 0x0000FFu);
    EXPECT_EQ(GetBkColor(dc), 0xFFFFFFu);
    ReleaseDC(nullptr, dc);
}

TEST(Colors, SchemeOnePaintsBlackOnYellowAndSchemeZeroRestores)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    HWND text = GetDlgItem(d.hwnd(), IDC_TEXT);
    SetForegroundWindow(d.hwnd());
    pumpDialogs(50);
    Pixels plain = pixelsOf(text);
    EXPECT_EQ(plain.yellow, 0);

    d.window()->findTarget(IDC_TEXT)->setColorScheme(1, -1);
    EXPECT_EQ(ControlWrapper::fromWindow(text)->colors().brush, 6);
    pumpDialogs(20);
    Pixels yellow = pixelsOf(text);
    EXPECT_GT(yellow.black, 0);
    EXPECT_GT(yellow.yellow, yellow.black);
    EXPECT_EQ(yellow.face, 0);

    d.window()->findTarget(IDC_TEXT)->setColorScheme(0, -1);
    pumpDialogs(20);
    Pixels again = pixelsOf(text);
    EXPECT_EQ(again.yellow, 0);
    EXPECT_EQ(again.face, plain.face);

    d.window()->findTarget(IDC_TEXT)->setColors(ColorTriple{2, 3, 2});  // red on white
    RECT r;
    GetClientRect(text, &r);
    pixelsOf(text);
    HDC dc = GetDC(text);
    EXPECT_EQ(GetPixel(dc, r.right - 2, r.bottom / 2), 0xFFFFFFu);
    ReleaseDC(text, dc);
}

TEST(Fonts, TenPointsAtNinetySixDpiIsThirteenPixelsHigh)
{
    EXPECT_EQ(FontMaker::scaled(96, 100), 133);
    EXPECT_EQ(FontMaker::charHeight(133), -13);
    EXPECT_EQ(FontMaker::charHeight(-133), -13);
    EXPECT_EQ(FontMaker::scaled(120, 80), 133);
    EXPECT_EQ(FontMaker::scaled(96, -100), -133);  // truncated toward zero
    EXPECT_EQ(FontMaker::charHeight(135), -14);
    EXPECT_EQ(FontMaker::proportionalWidth(133, 133, 7), 7);
    EXPECT_EQ(FontMaker::proportionalWidth(266, 133, 7), 14);
    EXPECT_EQ(FontMaker::proportionalWidth(1, 0, 7), 0);

    HDC dc = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    UniqueGdiObject font(createFont(dc, "Terminal", 100, 0, FontBold | FontUnderline, true));
    ASSERT_TRUE(font);
    LOGFONTA lf{};
    GetObjectA(font.get(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfCharSet, OEM_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, "Terminal");

    // A width equal to the height keeps the font's natural proportions.
    UniqueGdiObject probe(createFont(dc, "Arial", 100, 0, FontItalic | FontStrikeOut, true));
    HGDIOBJ old = SelectObject(dc, probe.get());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    UniqueGdiObject natural(createFont(dc, "Arial", 100, 100, FontItalic | FontStrikeOut, true));
    GetObjectA(natural.get(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfWidth, tm.tmAveCharWidth);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_EQ(lf.lfWeight, 0);

    // The physical resolution path gives a font too; the device context is left as it was.
    int mode = GetGraphicsMode(dc);
    UniqueGdiObject physical(createFont(dc, "Terminal", 100, 0, 0, false));
    EXPECT_TRUE(physical);
    EXPECT_EQ(GetGraphicsMode(dc), mode);

    std::string longFace(60, 'F');
    UniqueGdiObject clipped(createFont(dc, longFace.c_str(), 100, 0, 0, true));
    GetObjectA(clipped.get(), sizeof lf, &lf);
    EXPECT_EQ(std::string(lf.lfFaceName).size(), 31u);
    ReleaseDC(nullptr, dc);
}

TEST(Fonts, WrapperSetFontGivesTheControlATerminalFont)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    HWND text = GetDlgItem(d.hwnd(), IDC_TEXT);
    d.window()->findTarget(IDC_TEXT)->setFont(0, 100, FontBold, 0);
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(text, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "Terminal");
    EXPECT_GE(lf.lfHeight, -14);
    EXPECT_LE(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, 700);
    d.window()->findTarget(IDC_TEXT)->setFont(0, 200, 0, 0);
    auto bigger = reinterpret_cast<HGDIOBJ>(SendMessageA(text, WM_GETFONT, 0, 0));
    EXPECT_NE(bigger, font);
    GetObjectA(bigger, sizeof lf, &lf);
    EXPECT_LT(lf.lfHeight, -20);
}
