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
    // The control lets go of the icon before the icons are released.
    if (shown_ && IsWindow(hwnd_)) SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_ICON, 0);
}

HANDLE StaticIconWrapper::icon(int value)
{
    for (const auto& k : kept_)
        if (k->value == value) return k->image.get();
    // An icon of our own (not the shared one LoadIconA gives), so it can be released.
    HANDLE loaded = OwnedImage::load(IMAGE_ICON, value, LR_DEFAULTSIZE);
    if (kept_.size() < kKeptIcons) {
        kept_.push_back(std::make_unique<KeptIcon>());
        kept_.back()->value = value;
        kept_.back()->image.reset(IMAGE_ICON, loaded);
        return loaded;
    }
    SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_ICON, 0);
    unkept_.reset(IMAGE_ICON, loaded);
    return loaded;
}

void StaticIconWrapper::setInt(int value, int)
{
    HANDLE shown = icon(value);
    SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shown));
    shown_ = shown;
}
