#include "controls/FramePageWrapper.h"
#include "controls/FramePage.h"
#include "framework/ControlFactory.h"
#include "framework/DialogWindow.h"

namespace {

ControlFactory::Registration registration(ClassStatic, &FramePageWrapper::create);

}  // namespace

std::unique_ptr<ControlWrapper> FramePageWrapper::create(DialogWindow& owner, HWND control, int id, LONG style,
                                                         const ControlDescriptor* descriptor)
{
    if ((style & SS_TYPEMASK) != SS_GRAYFRAME) return nullptr;
    return std::make_unique<FramePageWrapper>(&owner, control, id, descriptor);
}

FramePageWrapper::FramePageWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    if (!owner || !descriptor || !descriptor->isKind(FramePage::Kind)) return;
    HWND page = owner->createChildDialog(static_cast<const FramePage*>(descriptor)->pageId);
    if (!page) return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, owner->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(page, hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
}
