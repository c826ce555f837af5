#include "controls/RadioButtonWrapper.h"
#include "framework/ControlFactory.h"
#include "framework/RadioGroup.h"

namespace {

std::unique_ptr<ControlWrapper> createRadioButton(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor* descriptor)
{
    LONG type = style & 0xF;
    if (type != BS_RADIOBUTTON && type != BS_AUTORADIOBUTTON) return nullptr;
    return std::make_unique<RadioButtonWrapper>(&owner, control, id, descriptor);
}

const ControlFactory::Registration registration(ClassButton, &createRadioButton);

}  // namespace

RadioButtonWrapper::RadioButtonWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : CheckBoxWrapper(owner, control, id), firstId_(id), lastId_(id)
{
    if (descriptor && descriptor->isKind(RadioGroup::Kind)) {
        auto* group = static_cast<const RadioGroup*>(descriptor);
        firstId_ = group->firstId;
        lastId_ = group->lastId;
    }
}

void RadioButtonWrapper::setInt(int value, int)
{
    if (value == 0) {
        SendMessageA(hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    int own = GetDlgCtrlID(hwnd_);
    CheckRadioButton(GetParent(hwnd_), firstId_, lastId_, own);
    // A range that leaves this button out must still check it.
    SendMessageA(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
}
