#include "controls/ComboBoxWrapper.h"
#include <cstring>
#include "controls/EntryText.h"
#include "controls/ForwardingKeyHandler.h"
#include "framework/ControlFactory.h"
#include "framework/ListItems.h"
#include "framework/TextValue.h"

namespace {

std::unique_ptr<ControlWrapper> createComboBox(DialogWindow& owner, HWND control, int id, LONG,
                                               const ControlDescriptor* descriptor)
{
    return std::make_unique<ComboBoxWrapper>(&owner, control, id, descriptor);
}

const ControlFactory::Registration registration(ClassComboBox, &createComboBox);

BOOL CALLBACK eachChild(HWND child, LPARAM wrapper)
{
    return reinterpret_cast<ControlWrapper*>(wrapper)->onChildWindow(child);
}

}  // namespace

ComboBoxWrapper::ComboBoxWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    EnumChildWindows(hwnd_, &eachChild, reinterpret_cast<LPARAM>(static_cast<ControlWrapper*>(this)));
    if (!descriptor || !descriptor->isKind(ListItems::ComboKind)) return;
    auto* list = static_cast<const ListItems*>(descriptor);
    for (const char* const* item = list->items; item && *item; ++item) {
        if (SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(*item)) >= 0) ++itemCount_;
    }
    if (itemCount_ > 0) SendMessageA(hwnd_, CB_SETCURSEL, 0, 0);
}

ComboBoxWrapper::~ComboBoxWrapper()
{
    innerEdit_.reset();
}

int ComboBoxWrapper::onChildWindow(HWND child)
{
    char name[80] = "";
    GetClassNameA(child, name, sizeof name);
    if (!innerEdit_ && std::strcmp(name, "Edit") == 0) {
        innerEdit_ = std::make_unique<ControlWrapper>(owner_, child, id_);
        innerEdit_->setKeyHandler(new ForwardingKeyHandler(*this, id_));
    }
    return 1;
}

void ComboBoxWrapper::recount()
{
    LRESULT n = SendMessageA(hwnd_, CB_GETCOUNT, 0, 0);
    itemCount_ = n > 0 ? static_cast<int>(n) : 0;
}

void ComboBoxWrapper::onCommand(int code, int)
{
    switch (code) {
    case CBN_SELCHANGE: {
        int s = static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
        reportSelection(s, 1);
        TextValue value;
        EntryText::readComboBox(hwnd_, s, value);
        reportValue(value, s);
        break;
    }
    case CBN_EDITCHANGE: {
        TextValue value;
        GetWindowTextA(hwnd_, value.data(), TextValue::Capacity);
        reportValue(value, -1);
        break;
    }
    default:
        break;
    }
}

void ComboBoxWrapper::setIdHigh(int value)
{
    ControlWrapper::setIdHigh(value);
    if (innerEdit_) innerEdit_->setIdHigh(value);
}

void ComboBoxWrapper::setKeyHandler(KeyHandler* handler)
{
    ControlWrapper::setKeyHandler(handler);
    // The edit field gets a forwarder rather than the handler itself, so that a handler that
    // releases itself is released once.
    if (innerEdit_) innerEdit_->setKeyHandler(handler ? new ForwardingKeyHandler(*this, id_) : nullptr);
}

void ComboBoxWrapper::activate()
{
    if (innerEdit_)
        innerEdit_->activate();
    else
        ControlWrapper::activate();
}

void ComboBoxWrapper::onFocus(bool gained)
{
    if (!innerEdit_) ControlWrapper::onFocus(gained);
}

bool ComboBoxWrapper::onKeyDown(int key)
{
    if (GetKeyState(VK_SHIFT) >= 0 || !keyHandler_) return false;
    keyHandler_->onKey(key, id_);
    return true;
}

LONG ComboBoxWrapper::getStyle()
{
    return ControlWrapper::getStyle() | WS_VSCROLL;
}

void ComboBoxWrapper::getRect(RECT& out)
{
    out = RECT{};
    SendMessageA(hwnd_, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&out));  // answers CB_OKAY (0)
}

void ComboBoxWrapper::setInt(int value, int)
{
    select(value);
}

void ComboBoxWrapper::setText(const char* text, int item)
{
    if (!text) text = "";
    recount();
    if (item == -1) {
        LRESULT found = SendMessageA(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
        SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(found >= 0 ? found : -1), 0);
    } else if (item == -2 || item >= itemCount_) {
        SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    } else if (item >= 0) {
        SendMessageA(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
    }
    recount();
}

void ComboBoxWrapper::clear(int item)
{
    recount();
    if (item >= 0 && item < itemCount_)
        SendMessageA(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(item), 0);
    else
        SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
    recount();
}

void ComboBoxWrapper::select(int item)
{
    recount();
    if (item >= 0 && item < itemCount_) SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}
