#include "controls/StaticBitmapWrapper.h"
#include "framework/Application.h"
#include "framework/ControlFactory.h"

namespace {

std::unique_ptr<ControlWrapper> createStaticImage(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor*)
{
    if ((style & 0x1F) != SS_BITMAP) return nullptr;
    return std::make_unique<StaticBitmapWrapper>(&owner, control, id);
}

const ControlFactory::Registration registration(ClassStatic, &createStaticImage);

}  // namespace

StaticBitmapWrapper::StaticBitmapWrapper(DialogWindow* owner, HWND control, int id) : ControlWrapper(owner, control, id) {}

StaticBitmapWrapper::~StaticBitmapWrapper()
{
    if (image_ && IsWindow(hwnd_)) SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, 0);
}

void StaticBitmapWrapper::setInt(int value, int)
{
    HBITMAP bitmap = nullptr;
    if (value & 0xFFFF) bitmap = LoadBitmapA(Application::get().instance(), MAKEINTRESOURCEA(value & 0xFFFF));
    SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    image_.reset(IMAGE_BITMAP, bitmap);
}
