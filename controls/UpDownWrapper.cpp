#include "controls/UpDownWrapper.h"
#include "controls/NumberValue.h"
#include "controls/UpDownRange.h"
#include "framework/ControlFactory.h"

namespace {

ControlFactory::Registration registration(ClassUpDown, &UpDownWrapper::create);

bool fitsShort(int v)
{
    return v >= -0x8000 && v <= 0x7FFF;
}

}  // namespace

std::unique_ptr<ControlWrapper> UpDownWrapper::create(DialogWindow& owner, HWND control, int id, LONG,
                                                      const ControlDescriptor* descriptor)
{
    return std::make_unique<UpDownWrapper>(&owner, control, id, descriptor);
}

UpDownWrapper::UpDownWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    const UpDownRange& range = descriptor && descriptor->isKind(UpDownRange::Kind)
                                   ? static_cast<const UpDownRange&>(*descriptor)
                                   : UpDownRange::defaults();
    if (fitsShort(range.lower) && fitsShort(range.upper)) {
        SendMessageA(hwnd_, UDM_SETRANGE, 0, MAKELPARAM(range.upper, range.lower));
    } else {
        // Ends beyond 16 bits would be cut by UDM_SETRANGE.
        SendMessageA(hwnd_, UDM_SETRANGE32, static_cast<WPARAM>(range.lower), range.upper);
    }
}

void UpDownWrapper::setReal(double value, int)
{
    int position = NumberValue::truncate(value);
    if (fitsShort(position)) {
        SendMessageA(hwnd_, UDM_SETPOS, 0, MAKELPARAM(position, 0));
    } else {
        // Cutting to the low word would land anywhere in the range; the control clamps instead.
        SendMessageA(hwnd_, UDM_SETPOS32, 0, position);
    }
}

void UpDownWrapper::onCommand(int request, int position)
{
    if (request != SB_THUMBPOSITION) return;
    int lower = 0, upper = 0;
    SendMessageA(hwnd_, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    // The message carries 16 bits of the position; beyond them the control holds all of it.
    if (!fitsShort(lower) || !fitsShort(upper)) position = static_cast<int>(SendMessageA(hwnd_, UDM_GETPOS32, 0, 0));
    NumberValue value(position);
    reportValue(value, -1);
}
