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
    // The control lets go of the picture before the kept icons are destroyed.
    if (shown_ && IsWindow(hwnd_)) SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_ICON, 0);
}

HICON StaticIconWrapper::iconFor(int id)
{
    if (id == 0) return nullptr;
    for (Kept& k : kept_)
        if (k.id == id && k.icon) return k.icon.get();
    // An icon of our own (not the shared one LoadIconA gives), so it can be released.
    HICON icon = static_cast<HICON>(OwnedImage::load(IMAGE_ICON, id, LR_DEFAULTSIZE));
    if (!icon) return nullptr;
    Kept* slot = &kept_[nextSlot_];
    if (slot->icon.get() == shown_) {
        nextSlot_ = (nextSlot_ + 1) % kKeptIcons;
        slot = &kept_[nextSlot_];
    }
    nextSlot_ = (nextSlot_ + 1) % kKeptIcons;
    slot->id = id;
    slot->icon.reset(icon);
    return icon;
}

void StaticIconWrapper::setInt(int value, int)
{
    HICON icon = iconFor(value & 0xFFFF);
    SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    shown_ = icon;
}
