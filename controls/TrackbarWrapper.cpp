#include "controls/TrackbarWrapper.h"
#include <climits>
#include "controls/NumberValue.h"
#include "controls/TrackbarSetup.h"
#include "framework/ControlFactory.h"

namespace {

ControlFactory::Registration registration(ClassTrackbar, &TrackbarWrapper::create);

bool fitsShortRange(int low, int high)
{
    return low >= 0 && low <= 0x7FFF && high >= 0 && high <= 0x7FFF;
}

}  // namespace

std::unique_ptr<ControlWrapper> TrackbarWrapper::create(DialogWindow& owner, HWND control, int id, LONG,
                                                        const ControlDescriptor* descriptor)
{
    return std::make_unique<TrackbarWrapper>(&owner, control, id, descriptor);
}

TrackbarWrapper::TrackbarWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    const TrackbarSetup& setup = descriptor && descriptor->isKind(TrackbarSetup::Kind)
                                     ? static_cast<const TrackbarSetup&>(*descriptor)
                                     : TrackbarSetup::defaults();
    reportWhileDragging_ = setup.flags & TrackbarSetup::ReportWhileDragging;
    if (fitsShortRange(setup.rangeMin, setup.rangeMax)) {
        SendMessageA(hwnd_, TBM_SETRANGE, TRUE, MAKELPARAM(setup.rangeMin, setup.rangeMax));
    } else {
        // Ends beyond the 16-bit words would be cut by TBM_SETRANGE.
        SendMessageA(hwnd_, TBM_SETRANGEMIN, FALSE, setup.rangeMin);
        SendMessageA(hwnd_, TBM_SETRANGEMAX, TRUE, setup.rangeMax);
    }
    SendMessageA(hwnd_, TBM_SETTICFREQ, static_cast<WPARAM>(setup.tickStep), 0);
    SendMessageA(hwnd_, TBM_SETPAGESIZE, 0, setup.tickStep);
}

void TrackbarWrapper::setInt(int value, int)
{
    SendMessageA(hwnd_, TBM_SETPOS, TRUE, value);
}

void TrackbarWrapper::setReal(double value, int)
{
    SendMessageA(hwnd_, TBM_SETPOS, TRUE, NumberValue::truncate(value));
}

void TrackbarWrapper::onCommand(int request, int position)
{
    switch (request) {
    case TB_LINEUP:
    case TB_LINEDOWN:
    case TB_PAGEUP:
    case TB_PAGEDOWN:
    case TB_TOP:
    case TB_BOTTOM:
        report(static_cast<int>(SendMessageA(hwnd_, TBM_GETPOS, 0, 0)));
        break;
    case TB_THUMBPOSITION:
        if (!reportWhileDragging_) report(thumbPosition(position));
        break;
    case TB_THUMBTRACK:
        if (reportWhileDragging_) report(thumbPosition(position));
        break;
    default:
        break;  // TB_ENDTRACK and above
    }
}

int TrackbarWrapper::thumbPosition(int position)
{
    auto low = static_cast<int>(SendMessageA(hwnd_, TBM_GETRANGEMIN, 0, 0));
    auto high = static_cast<int>(SendMessageA(hwnd_, TBM_GETRANGEMAX, 0, 0));
    if (low >= SHRT_MIN && high <= SHRT_MAX) return position;
    // The message carries 16 bits of the position; the control holds all of it.
    return static_cast<int>(SendMessageA(hwnd_, TBM_GETPOS, 0, 0));
}

void TrackbarWrapper::report(int position)
{
    NumberValue value(position);
    reportValue(value, -1);
}
