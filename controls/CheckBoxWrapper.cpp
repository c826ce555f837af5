#include "controls/CheckBoxWrapper.h"
#include "framework/ControlFactory.h"

namespace {

std::unique_ptr<ControlWrapper> createCheckBox(DialogWindow& owner, HWND control, int id, LONG style,
                                               const ControlDescriptor*)
{
    LONG type = style & 0xF;
    if (type != BS_CHECKBOX && type != BS_AUTOCHECKBOX) return nullptr;
    return std::make_unique<CheckBoxWrapper>(&owner, control, id);
}

const ControlFactory::Registration registration(ClassButton, &createCheckBox);

}  // namespace

CheckBoxWrapper::CheckBoxWrapper(DialogWindow* owner, HWND control, int id) : ControlWrapper(owner, control, id) {}

void CheckBoxWrapper::setInt(int value, int)
{
    SendMessageA(hwnd_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBoxWrapper::onCommand(int code, int)
{
    if (code != BN_CLICKED) return;
    int state = static_cast<int>(SendMessageA(hwnd_, BM_GETCHECK, 0, 0));
    reportSelection(-1, state);
}
