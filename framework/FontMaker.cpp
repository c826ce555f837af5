#include "framework/FontMaker.h"
#include <cmath>
#include "framework/BoundedCopy.h"

int FontMaker::scaled(double resolution, int tenths)
{
    return static_cast<int>(tenths * resolution * 0.013888889);
}

int FontMaker::charHeight(int y)
{
    return -static_cast<int>(std::abs(y) * 0.1 + 0.5);
}

int FontMaker::proportionalWidth(int x, int y, int averageWidth)
{
    if (y == 0) return 0;
    return static_cast<int>(static_cast<double>(std::abs(x)) / std::abs(y) * averageWidth + 0.5);
}

HFONT FontMaker::create(HDC dc, const char* face, int height, int width, int style, bool logicalInch)
{
    if (!dc) return nullptr;
    int saved = SaveDC(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);

    float horizontal;
    double vertical;
    if (logicalInch) {
        horizontal = static_cast<float>(GetDeviceCaps(dc, LOGPIXELSX));
        vertical = GetDeviceCaps(dc, LOGPIXELSY);
    } else {
        int hsize = GetDeviceCaps(dc, HORZSIZE), vsize = GetDeviceCaps(dc, VERTSIZE);
        horizontal = hsize ? static_cast<float>(GetDeviceCaps(dc, HORZRES) * 25.4 / hsize) : 0.0f;
        vertical = vsize ? GetDeviceCaps(dc, VERTRES) * 25.4 / vsize : 0.0;
    }
    POINT p{scaled(horizontal, width), scaled(vertical, height)};
    DPtoLP(dc, &p, 1);

    LOGFONTA lf{};
    lf.lfHeight = charHeight(p.y);
    lf.lfWeight = (style & FontBold) ? FW_BOLD : 0;
    lf.lfItalic = (style & FontItalic) ? 1 : 0;
    lf.lfUnderline = (style & FontUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style & FontStrikeOut) ? 1 : 0;
    lf.lfCharSet = OEM_CHARSET;
    boundedCopy(lf.lfFaceName, face);

    HFONT font = CreateFontIndirectA(&lf);
    if (font && width != 0) {
        HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, previous);
        DeleteObject(font);
        lf.lfWidth = proportionalWidth(p.x, p.y, tm.tmAveCharWidth);
        font = CreateFontIndirectA(&lf);
    }
    if (saved) RestoreDC(dc, -1);
    return font;
}
