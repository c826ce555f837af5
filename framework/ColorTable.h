// The fixed palette, the two colour schemes, the shared brush cache and the colour answer.
#pragma once
#include <windows.h>
#include "framework/ColorTriple.h"

class ColorTable {
public:
    static constexpr int Count = 7;    // colour numbers 0..6
    static constexpr int Schemes = 2;  // scheme 0 system colours, 1 black on yellow

    // colorTable[number] (0x00BBGGRR); numbers outside 0..6 give 0.
    static COLORREF color(int number);
    // Shared solid brush of a colour number, made on first use; null for 0 or out of range.
    // Callers never delete it.
    static HBRUSH brush(int number);
    // colorSchemes[scheme]; an unknown scheme gives the system colours (scheme 0).
    static const ColorTriple& scheme(int scheme);
    // Answer to WM_CTLCOLOR*: sets text and background colours where non-zero, returns the brush
    // (null = default colours).
    static HBRUSH answer(HDC dc, const ColorTriple& colors);
    // How many brushes the cache has made so far (each colour number at most once).
    static int brushesMade();
};
