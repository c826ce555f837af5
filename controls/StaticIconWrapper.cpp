#include "controls/StaticIconWrapper.h"
#include "framework/ControlFactory.h"

namespace {

std::unique_ptr<ControlWrapper> createStaticImage(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor*)
{
    if ((style & 0x1F) != SS_ICON) return nullptr;
    return std::make_unique<StaticIconWrapper>(&owner, control, id);
}

const ControlFactory::Registration registration(ClassStatic, &createStaticImage);

}  // namespace

StaticIconWrapper::StaticIconWrapper(DialogWindow* owner, HWND control, int id) : ControlWrapper(owner, control, id) {}

StaticIconWrapper::~StaticIconWrapper()
{
    if (image_ && IsWindow(hwnd_)) SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_ICON, 0);
}

void StaticIconWrapper::setInt(int value, int)
{
    // An icon of our own (not the shared one LoadIconA gives), so it can be released.
    HANDLE icon = OwnedImage::load(IMAGE_ICON, value, LR_DEFAULTSIZE);
    SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    image_.reset(IMAGE_ICON, icon);
}
