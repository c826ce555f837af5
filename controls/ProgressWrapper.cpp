#include "controls/ProgressWrapper.h"
#include "controls/NumberValue.h"
#include "controls/ProgressRange.h"
#include "framework/ControlFactory.h"

namespace {

ControlFactory::Registration registration(ClassProgress, &ProgressWrapper::create);

bool fitsWord(int v)
{
    return v >= 0 && v <= 0xFFFF;
}

}  // namespace

std::unique_ptr<ControlWrapper> ProgressWrapper::create(DialogWindow& owner, HWND control, int id, LONG,
                                                        const ControlDescriptor* descriptor)
{
    return std::make_unique<ProgressWrapper>(&owner, control, id, descriptor);
}

ProgressWrapper::ProgressWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    const ProgressRange& range = descriptor && descriptor->isKind(ProgressRange::Kind)
                                     ? static_cast<const ProgressRange&>(*descriptor)
                                     : ProgressRange::defaults();
    if (fitsWord(range.rangeMin) && fitsWord(range.rangeMax)) {
        SendMessageA(hwnd_, PBM_SETRANGE, 0, MAKELPARAM(range.rangeMin, range.rangeMax));
    } else {
        // PBM_SETRANGE takes unsigned words: a negative or larger end needs the 32-bit range.
        SendMessageA(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(range.rangeMin), range.rangeMax);
    }
    SendMessageA(hwnd_, PBM_SETSTEP, static_cast<WPARAM>(range.step), 0);
}

void ProgressWrapper::setReal(double value, int)
{
    SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(NumberValue::truncate(value)), 0);
}
