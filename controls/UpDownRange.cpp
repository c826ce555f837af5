#include "controls/UpDownRange.h"

const UpDownRange& UpDownRange::defaults()
{
    static const UpDownRange d(0, 0, 100, 0);
    return d;
}
