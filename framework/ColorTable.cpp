#include "framework/ColorTable.h"
#include "framework/UniqueHandle.h"

namespace {

const COLORREF colorTable[ColorTable::Count] = {
    0x000000, 0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00E0E0,
};

const ColorTriple colorSchemes[ColorTable::Schemes] = {
    {0, 0, 0},
    {6, 1, 6},
};

// Made once per colour number, kept for the life of the process.
UniqueGdiObject brushCache[ColorTable::Count];
int brushCount = 0;

bool valid(int number) { return number > 0 && number < ColorTable::Count; }

}  // namespace

COLORREF ColorTable::color(int number)
{
    return number >= 0 && number < Count ? colorTable[number] : 0;
}

HBRUSH ColorTable::brush(int number)
{
    if (!valid(number)) return nullptr;
    if (!brushCache[number]) {
        brushCache[number].reset(CreateSolidBrush(color(number)));
        if (brushCache[number]) ++brushCount;
    }
    return static_cast<HBRUSH>(brushCache[number].get());
}

const ColorTriple& ColorTable::scheme(int scheme)
{
    return colorSchemes[scheme >= 0 && scheme < Schemes ? scheme : 0];
}

HBRUSH ColorTable::answer(HDC dc, const ColorTriple& colors)
{
    if (colors.text != 0) SetTextColor(dc, color(colors.text));
    if (colors.background != 0) SetBkColor(dc, color(colors.background));
    return brush(colors.brush);
}

int ColorTable::brushesMade()
{
    return brushCount;
}
