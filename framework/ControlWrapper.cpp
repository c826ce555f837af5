#include "framework/ControlWrapper.h"
#include <cstdio>
#include "framework/ColorTable.h"
#include "framework/Dialog.h"
#include "framework/DialogWindow.h"
#include "framework/FontMaker.h"
#include "framework/TextValue.h"

namespace {

// The procedure a control had before the subclass procedure, kept on the control itself so that
// it is found while no wrapper is bound.
const char* const PreviousProcProperty = "TavrenixPreviousProc";

WNDPROC keptProc(HWND control)
{
    return reinterpret_cast<WNDPROC>(GetPropA(control, PreviousProcProperty));
}

}  // namespace

ControlWrapper::ControlWrapper(DialogWindow* owner, HWND control, int id)
    : keyHandler_(new KeyHandler(id)), owner_(owner), hwnd_(control), id_(id)
{
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // A control still in the chain (unbound, not yet given back) must not be chained to itself.
    if (WNDPROC kept = keptProc(control)) {
        previousProc_ = kept;
        return;
    }
    previousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWrapper::subclassProc)));
    if (previousProc_) SetPropA(control, PreviousProcProperty, reinterpret_cast<HANDLE>(previousProc_));
}

ControlWrapper::~ControlWrapper()
{
    if (!hwnd_ || !IsWindow(hwnd_)) return;
    auto* bound = reinterpret_cast<ControlWrapper*>(GetWindowLongPtrA(hwnd_, GWLP_USERDATA));
    if (bound == this) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        bound = nullptr;
    }
    if (bound) return;  // another wrapper is bound and keeps the subclass
    // Given back only while ours is the outermost procedure; otherwise the later one calls ours,
    // which passes everything on to the kept procedure.
    if (GetWindowLongPtrA(hwnd_, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&ControlWrapper::subclassProc)) return;
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    RemovePropA(hwnd_, PreviousProcProperty);
}

ControlWrapper* ControlWrapper::fromWindow(HWND control)
{
    if (!control) return nullptr;
    // Only subclassed controls carry a wrapper in their slot.
    if (!keptProc(control)) return nullptr;
    return reinterpret_cast<ControlWrapper*>(GetWindowLongPtrA(control, GWLP_USERDATA));
}

LRESULT CALLBACK ControlWrapper::subclassProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* w = reinterpret_cast<ControlWrapper*>(GetWindowLongPtrA(control, GWLP_USERDATA));
    if (!w) {
        // Unbound while still subclassed: the procedure the control had before serves it.
        WNDPROC previous = keptProc(control);
        LRESULT result = previous ? CallWindowProcA(previous, control, message, wparam, lparam)
                                  : DefWindowProcA(control, message, wparam, lparam);
        if (message == WM_NCDESTROY) RemovePropA(control, PreviousProcProperty);
        return result;
    }
    // The handling below may delete the wrapper; the message still goes to the control's own procedure.
    WNDPROC own = w->previousProc_;
    switch (message) {
    case WM_SETFOCUS:
        w->onFocus(true);
        break;
    case WM_KILLFOCUS:
        w->onFocus(false);
        break;
    case WM_KEYDOWN:
        if (w->onKeyDown(static_cast<int>(wparam))) return 0;
        break;
    default:
        break;
    }
    // The wrapper may have been unbound by what the calls above did.
    w = reinterpret_cast<ControlWrapper*>(GetWindowLongPtrA(control, GWLP_USERDATA));
    LRESULT result = w ? w->callPrevious(message, wparam, lparam)
                   : own ? CallWindowProcA(own, control, message, wparam, lparam)
                         : DefWindowProcA(control, message, wparam, lparam);
    if (message == WM_NCDESTROY) RemovePropA(control, PreviousProcProperty);
    return result;
}

LRESULT ControlWrapper::callPrevious(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (previousProc_) return CallWindowProcA(previousProc_, hwnd_, message, wparam, lparam);
    return DefWindowProcA(hwnd_, message, wparam, lparam);
}

Dialog* ControlWrapper::dialog() const
{
    return owner_ ? owner_->dialog() : nullptr;
}

bool ControlWrapper::reportCommand()
{
    Dialog* d = dialog();
    return d ? d->commandIssued(id_) : false;
}

bool ControlWrapper::reportValue(const Value& value, int item)
{
    Dialog* d = dialog();
    return d ? d->valueChanged(id_, value, item) : false;
}

bool ControlWrapper::reportSelection(int position, int code)
{
    Dialog* d = dialog();
    return d ? d->selectionChanged(id_, position, code) : false;
}

void ControlWrapper::reportFocus(bool gained)
{
    if (Dialog* d = dialog()) d->focusChanged(id_, gained);
}

int ControlWrapper::onChildWindow(HWND) { return 0; }
bool ControlWrapper::getPages(int& count, const HWND*& pages)
{
    count = 0;
    pages = nullptr;
    return false;
}
void ControlWrapper::onScrollFocus() {}

void ControlWrapper::onCommand(int code, int)
{
    if (code != EN_CHANGE) return;
    TextValue value;
    GetWindowTextA(hwnd_, value.data(), TextValue::Capacity);
    reportValue(value, -1);
}

LRESULT ControlWrapper::onNotify(NMHDR*) { return 0; }
void ControlWrapper::onDragLeave() {}
bool ControlWrapper::onDragOver(int, int, DragData*) { return false; }
void ControlWrapper::onDrop(int, int, DragData*) {}

HBRUSH ControlWrapper::onCtlColor(HDC dc)
{
    return ColorTable::answer(dc, colors_);
}

void ControlWrapper::setIdHigh(int value)
{
    id_ = static_cast<int>((static_cast<unsigned>(value) << 16) | (static_cast<unsigned>(id_) & 0xFFFFu));
}

void ControlWrapper::setKeyHandler(KeyHandler* handler)
{
    keyHandler_.reset(handler);
}

void ControlWrapper::activate()
{
    if (GetFocus() != hwnd_) {
        SetFocus(hwnd_);
        return;
    }
    ControlWrapper::onFocus(true);
}

void ControlWrapper::onFocus(bool gained)
{
    HWND control = hwnd_;
    reportFocus(gained);
    // The dialog's answer may have deleted this wrapper.
    if (gained && fromWindow(control) == this && keyHandler_) keyHandler_->onFocusGained(id_);
}

bool ControlWrapper::onKeyDown(int key)
{
    return keyHandler_ ? keyHandler_->onKey(key, id_) : false;
}

LONG ControlWrapper::getStyle()
{
    return GetWindowLongA(hwnd_, GWL_STYLE);
}

LONG ControlWrapper::getExStyle()
{
    return GetWindowLongA(hwnd_, GWL_EXSTYLE);
}

void ControlWrapper::getRect(RECT& out)
{
    if (!GetWindowRect(hwnd_, &out)) out = RECT{};
}

void ControlWrapper::setColors(const ColorTriple& colors)
{
    colors_ = colors;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ControlWrapper::setInt(int value, int item)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    setText(text, item);
}

void ControlWrapper::setReal(double value, int item)
{
    char text[400];  // "%f" of the largest double needs 317 characters
    std::snprintf(text, sizeof text, "%f", value);
    setText(text, item);
}

void ControlWrapper::setText(const char* text, int)
{
    SetWindowTextA(hwnd_, text ? text : "");
}

void ControlWrapper::setColorScheme(int scheme, int)
{
    colors_ = ColorTable::scheme(scheme);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ControlWrapper::setFont(int, int height, int style, int)
{
    HDC dc = GetDC(hwnd_);
    if (!dc) return;
    HFONT font = createFont(dc, "Terminal", height, 0, style, false);
    ReleaseDC(hwnd_, dc);
    if (!font) return;
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    font_.reset(font);  // the control no longer uses the previous one
}

void ControlWrapper::enable(bool on, int)
{
    EnableWindow(hwnd_, on ? TRUE : FALSE);
}

void ControlWrapper::show(bool on, int)
{
    ShowWindow(hwnd_, on ? SW_SHOW : SW_HIDE);
}

void ControlWrapper::clear(int)
{
    SetWindowTextA(hwnd_, "");
}

KeyHandler* ControlWrapper::getKeyHandler() { return keyHandler_.get(); }
int ControlWrapper::getWidth() { return rect_.right - rect_.left; }
int ControlWrapper::getHeight() { return rect_.bottom - rect_.top; }
int ControlWrapper::getLeft(int) { return rect_.left; }
int ControlWrapper::getTop(int) { return rect_.top; }
