// Fonts given in tenths of a point, scaled for a device context.
#pragma once
#include <windows.h>

enum FontStyle : int { FontBold = 1, FontItalic = 2, FontUnderline = 4, FontStrikeOut = 8 };

class FontMaker {
public:
    // Ten times the size in device units: tenths x resolution / 72, truncated toward zero.
    static int scaled(double resolution, int tenths);
    // Character height (negative) for the ten-fold device size y: -(trunc(|y| x 0.1 + 0.5)).
    static int charHeight(int y);
    // Width that keeps width/height proportions: trunc(|x| / |y| x averageWidth + 0.5).
    static int proportionalWidth(int x, int y, int averageWidth);
    // A new font the caller owns (null when the system cannot make it). height and width in
    // tenths of a point; style: FontStyle bits; logicalInch: LOGPIXELS, else the physical size.
    static HFONT create(HDC dc, const char* face, int height, int width, int style, bool logicalInch);
};

inline HFONT createFont(HDC dc, const char* face, int height, int width, int style, bool logicalInch)
{
    return FontMaker::create(dc, face, height, width, style, logicalInch);
}
