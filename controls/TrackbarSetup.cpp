#include "controls/TrackbarSetup.h"

const TrackbarSetup& TrackbarSetup::defaults()
{
    static const TrackbarSetup d(0, 0, 0, 100, 10, 0);
    return d;
}
