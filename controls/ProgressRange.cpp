#include "controls/ProgressRange.h"

const ProgressRange& ProgressRange::defaults()
{
    static const ProgressRange d(0, 0, 100, 10, 0);
    return d;
}
