#include "controls/EditWrapper.h"
#include <cstring>
#include <new>
#include <vector>
#include "framework/ControlFactory.h"
#include "framework/EditOptions.h"
#include "framework/TextValue.h"

namespace {

std::unique_ptr<ControlWrapper> createEdit(DialogWindow& owner, HWND control, int id, LONG,
                                           const ControlDescriptor* descriptor)
{
    return std::make_unique<EditWrapper>(&owner, control, id, descriptor);
}

const ControlFactory::Registration registration(ClassEdit, &createEdit);

}  // namespace

EditWrapper::EditWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    if (descriptor && descriptor->isKind(EditOptions::Kind)) {
        auto* options = static_cast<const EditOptions*>(descriptor);
        if (options->flags & EditOptions::CommitOnChange) commitOnChange_ = 1;
    }
}

void EditWrapper::setText(const char* text, int item)
{
    if (!text) text = "";
    dirty_ = 0;
    SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    bool scroll = true;
    settingText_ = true;
    if (item == -1)
        SetWindowTextA(hwnd_, text);
    else if (item == -2)
        scroll = appendLine(text);
    settingText_ = false;
    if (scroll) {
        LRESULT lines = SendMessageA(hwnd_, EM_GETLINECOUNT, 0, 0);
        if (lines > 1) SendMessageA(hwnd_, EM_LINESCROLL, 0, lines - 1);
    }
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, FALSE);
    dirty_ = 0;
}

bool EditWrapper::appendLine(const char* text)
{
    LRESULT lines = SendMessageA(hwnd_, EM_GETLINECOUNT, 0, 0);
    int length = GetWindowTextLengthA(hwnd_);
    if (length < 0) length = 0;
    size_t added = std::strlen(text);
    std::vector<char> buffer;
    try {
        buffer.resize(static_cast<size_t>(length) + added + 4);
    } catch (const std::bad_alloc&) {
        return false;  // the text stays as it is
    }
    int got = GetWindowTextA(hwnd_, buffer.data(), length + 1);
    size_t used = got > 0 ? static_cast<size_t>(got) : 0;
    std::memcpy(buffer.data() + used, "\r\n", 2);
    std::memcpy(buffer.data() + used + 2, text, added);
    buffer[used + 2 + added] = '\0';
    const char* start = buffer.data();
    if (lines >= MaxLines) {
        // Keep the last 99 lines of the old text; with the new line that makes 100.
        LRESULT first = SendMessageA(hwnd_, EM_LINEINDEX, static_cast<WPARAM>(lines - (MaxLines - 1)), 0);
        if (first > 0 && static_cast<size_t>(first) <= used) start += first;
    }
    SetWindowTextA(hwnd_, start);
    return true;
}

void EditWrapper::clear(int item)
{
    if (item >= 0) return;
    settingText_ = true;
    SetWindowTextA(hwnd_, "");
    settingText_ = false;
}

void EditWrapper::onCommand(int code, int)
{
    switch (code) {
    case EN_CHANGE:
        if (settingText_) return;
        if (commitOnChange_)
            commit();
        else
            dirty_ = 1;
        break;
    case EN_KILLFOCUS:
    case 0:  // Enter: the dialog hands its OK command to the focused control
        commitPending();
        break;
    default:
        break;
    }
}

void EditWrapper::commitPending()
{
    if (dirty_) commit();
}

int EditWrapper::caretIndex()
{
    POINT caret;
    // The caret exists only while the edit has the focus; at EN_KILLFOCUS it is already gone.
    if (GetFocus() == hwnd_ && GetCaretPos(&caret)) {
        LRESULT at = SendMessageA(hwnd_, EM_CHARFROMPOS, 0, MAKELPARAM(caret.x, caret.y));
        return static_cast<int>(LOWORD(at));
    }
    DWORD end = 0;
    SendMessageA(hwnd_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end);
}

void EditWrapper::commit()
{
    int index = caretIndex();
    TextValue value;
    GetWindowTextA(hwnd_, value.data(), TextValue::Capacity);
    // Not pending while reported: a scroll in the dialog's answer must not commit it again.
    dirty_ = 0;
    int reportedId = id_;
    // A refused text stays pending for the next Enter or loss of focus, but only under its own row.
    if (!reportValue(value, index) && id_ == reportedId) dirty_ = 1;
}
