// Three colour numbers of the palette: brush, text colour, background colour (0 = system default).
#pragma once

struct ColorTriple {
    int brush = 0;
    int text = 0;
    int background = 0;
};
