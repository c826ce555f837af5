#include "controls/ListBoxWrapper.h"
#include "controls/EntryText.h"
#include "framework/ControlFactory.h"
#include "framework/ListItems.h"
#include "framework/TextValue.h"

namespace {

std::unique_ptr<ControlWrapper> createListBox(DialogWindow& owner, HWND control, int id, LONG,
                                              const ControlDescriptor* descriptor)
{
    return std::make_unique<ListBoxWrapper>(&owner, control, id, descriptor);
}

const ControlFactory::Registration registration(ClassListBox, &createListBox);

}  // namespace

ListBoxWrapper::ListBoxWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    if (!descriptor || !descriptor->isKind(ListItems::ListBoxKind)) return;
    auto* list = static_cast<const ListItems*>(descriptor);
    for (const char* const* item = list->items; item && *item; ++item) {
        if (SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(*item)) >= 0) ++itemCount_;
    }
}

int ListBoxWrapper::selection() const
{
    return static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0));
}

void ListBoxWrapper::recount()
{
    LRESULT n = SendMessageA(hwnd_, LB_GETCOUNT, 0, 0);
    itemCount_ = n > 0 ? static_cast<int>(n) : 0;
}

void ListBoxWrapper::setInt(int value, int)
{
    select(value);
}

void ListBoxWrapper::setText(const char* text, int item)
{
    if (!text) text = "";
    recount();
    int before = selection();
    if (item < 0 || item >= itemCount_)
        SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    else
        SendMessageA(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
    recount();
    int after = selection();
    if (after != before) {
        reportSelection(before, 0);
        reportSelection(after, 1);
    }
}

void ListBoxWrapper::clear(int item)
{
    recount();
    int current = selection();
    if (item >= 0 && item < itemCount_) {
        if (current != LB_ERR && item <= current) reportSelection(current, 0);
        SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(item), 0);
    } else {
        if (current != LB_ERR) reportSelection(current, 0);
        SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
    }
    recount();
    int left = selection();
    if (left != LB_ERR) reportSelection(left, 1);
}

void ListBoxWrapper::select(int item)
{
    recount();
    int current = selection();
    if (current != LB_ERR) reportSelection(current, 0);
    if (item >= 0 && item < itemCount_) {
        SetFocus(hwnd_);
        SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
        reportSelection(item, 1);
    } else {
        SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

void ListBoxWrapper::onCommand(int code, int)
{
    switch (code) {
    case LBN_SELCHANGE: {
        int s = selection();
        reportSelection(s, 1);
        TextValue value;
        EntryText::readListBox(hwnd_, s, value);
        reportValue(value, s);
        break;
    }
    case LBN_DBLCLK:
        reportCommand();
        break;
    default:
        break;
    }
}
