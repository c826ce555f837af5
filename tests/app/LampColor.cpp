#include "LampColor.h"

Lamp classifyLamp(COLORREF pixel)
{
    int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
    if (g >= 200 && b >= 200 && r < 100) return Lamp::Active;
    if (g >= 150 && b < 200 && g > r) return Lamp::Bright;
    if (g >= 30 && g < 140 && r < 80 && b < 80) return Lamp::Dark;
    return Lamp::Unknown;
}

const char* lampName(Lamp lamp)
{
    switch (lamp) {
    case Lamp::Dark: return "dark (103)";
    case Lamp::Bright: return "bright (104)";
    case Lamp::Active: return "activity (105)";
    default: return "unknown";
    }
}
