#include "controls/EntryText.h"
#include <new>
#include <vector>
#include "framework/TextValue.h"

bool EntryText::readListBox(HWND control, int index, TextValue& value)
{
    return read(control, index, LB_GETTEXTLEN, LB_GETTEXT, value);
}

bool EntryText::readComboBox(HWND control, int index, TextValue& value)
{
    return read(control, index, CB_GETLBTEXTLEN, CB_GETLBTEXT, value);
}

bool EntryText::read(HWND control, int index, UINT lengthMessage, UINT textMessage, TextValue& value)
{
    value.assign("");
    if (index < 0) return false;
    // The text messages copy the whole entry without a limit: measure first.
    LRESULT length = SendMessageA(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return false;
    if (length < TextValue::Capacity) {
        char* text = value.data();
        LRESULT got = SendMessageA(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        // Entries without strings (owner-drawn lists) deliver raw item data: always terminate.
        text[got >= 0 && got < TextValue::Capacity ? got : length] = '\0';
        text[TextValue::Capacity - 1] = '\0';
        return got >= 0;
    }
    try {
        std::vector<char> whole(static_cast<size_t>(length) + 1, '\0');
        LRESULT got = SendMessageA(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(whole.data()));
        whole.back() = '\0';
        if (got < 0) return false;
        value.assign(whole.data());  // bounded: the first 255 characters
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
