#include "controls/PushButtonWrapper.h"
#include "framework/ButtonImages.h"
#include "framework/ControlFactory.h"

namespace {

std::unique_ptr<ControlWrapper> createPushButton(DialogWindow& owner, HWND control, int id, LONG style,
                                                 const ControlDescriptor* descriptor)
{
    switch (style & 0xF) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_GROUPBOX:
        return nullptr;  // check boxes, radio buttons and group boxes have wrappers of their own
    default:
        return std::make_unique<PushButtonWrapper>(&owner, control, id, descriptor);
    }
}

const ControlFactory::Registration registration(ClassButton, &createPushButton);

constexpr UINT BitmapFlags = LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT;

}  // namespace

PushButtonWrapper::PushButtonWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    bool icon = (GetWindowLongA(control, GWL_STYLE) & BS_ICON) != 0;
    imageType_ = icon ? IMAGE_ICON : IMAGE_BITMAP;
    if (!descriptor || !descriptor->isKind(ButtonImages::Kind)) return;
    auto* images = static_cast<const ButtonImages*>(descriptor);
    image_.reset(imageType_, OwnedImage::load(imageType_, images->imageId, icon ? 0 : BitmapFlags));
    show(image_.get());
    if (images->disabledImageId & 0xFFFF)
        disabledImage_.reset(imageType_, OwnedImage::load(imageType_, images->disabledImageId, LR_DEFAULTCOLOR));
}

PushButtonWrapper::~PushButtonWrapper()
{
    // The button must not keep drawing images that are about to be released.
    if (IsWindow(hwnd_) && (image_ || disabledImage_)) show(nullptr);
}

void PushButtonWrapper::show(HANDLE image)
{
    SendMessageA(hwnd_, BM_SETIMAGE, static_cast<WPARAM>(imageType_), reinterpret_cast<LPARAM>(image));
}

void PushButtonWrapper::setInt(int value, int item)
{
    if (imageType_ != IMAGE_ICON) {
        ControlWrapper::setInt(value, item);
        return;
    }
    HANDLE icon = OwnedImage::load(IMAGE_ICON, value, 0);
    // While disabled the disabled image stays in front of the new normal one.
    if (IsWindowEnabled(hwnd_) || !disabledImage_) show(icon);
    image_.reset(IMAGE_ICON, icon);  // the old icon goes only once it is no longer shown
}

void PushButtonWrapper::enable(bool on, int)
{
    EnableWindow(hwnd_, on ? TRUE : FALSE);
    if (!on) {
        if (disabledImage_) show(disabledImage_.get());
    } else if (image_ || disabledImage_) {
        show(image_.get());  // the disabled image must go even when no normal one is left
    }
}

void PushButtonWrapper::onCommand(int code, int)
{
    if (code == BN_CLICKED) reportCommand();
}
