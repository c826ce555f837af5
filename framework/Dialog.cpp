#include "framework/Dialog.h"
#include <commdlg.h>
#include "framework/Application.h"
#include "framework/DialogWindow.h"
#include "framework/Value.h"
#include "framework/ValueTarget.h"

Dialog::Dialog(int resourceId, const ControlDescriptor* const* descriptors, Dialog* parent,
               bool ownedByParent, bool startMinimized)
{
    window_ = std::make_unique<DialogWindow>(this, resourceId, descriptors,
                                             parent ? parent->window() : nullptr, ownedByParent);
    postTarget_ = window_->hwnd();
    if (startMinimized && window_->hwnd()) ShowWindow(window_->hwnd(), SW_MINIMIZE);
}

Dialog::~Dialog()
{
    detach();  // a derived dialog without its own call: nothing of it is left to reach
    window_.reset();
}

void Dialog::detach()
{
    postTarget_ = nullptr;
    if (window_) window_->detachDialog();
}

bool Dialog::commandIssued(int) { return true; }
bool Dialog::valueChanged(int, const Value&, int) { return true; }
bool Dialog::selectionChanged(int, int, int) { return true; }
void Dialog::timerTick() {}
bool Dialog::closing() { return true; }
void Dialog::gridScrolled(int, int) {}
void Dialog::gridRowFocused(int, int) {}
void Dialog::focusChanged(int, bool) {}
void Dialog::userMessage(WPARAM, LPARAM) {}

HWND Dialog::hwnd() const
{
    return window_ ? window_->hwnd() : nullptr;
}

bool Dialog::created() const
{
    return hwnd() != nullptr;
}

void Dialog::runModal()
{
    DialogWindow* w = window_.get();
    if (!w || !w->hwnd()) return;
    HWND hwnd = w->hwnd();
    HWND parent = GetParent(hwnd);
    if (parent && IsWindow(parent)) {
        if (IsIconic(parent)) OpenIcon(parent);
        SetForegroundWindow(parent);
        EnableWindow(parent, FALSE);
    } else {
        parent = nullptr;
    }
    SetForegroundWindow(hwnd);
    w->setRunning(true);
    Application::get().registerWindow(w);
    Application::get().runLoop(w->runningFlag());
    if (parent && IsWindow(parent)) {
        EnableWindow(parent, TRUE);
        SetActiveWindow(parent);
    }
}

void Dialog::close()
{
    if (window_) window_->closeWindow();
    if (autoDelete_) delete this;  // only for dialogs made with new and marked so
}

void Dialog::setText(int id, const char* text, int item)
{
    if (!window_) return;
    if (ValueTarget* t = window_->findTarget(id)) t->setText(text, item);
}

void Dialog::setInt(int id, int value, int item)
{
    if (!window_) return;
    ValueTarget* t = window_->findTarget(id);
    if (!t) return;
    if (value == AutoValue)
        t->setText("Auto", item);
    else
        t->setInt(value, item);
}

void Dialog::runTimer(bool on)
{
    if (window_) window_->runTimer(on);
}

void Dialog::enable(int id, bool on, int item)
{
    if (!window_) return;
    if (ValueTarget* t = window_->findTarget(id)) t->enable(on, item);
}

void Dialog::postUserMessage(WPARAM wparam, LPARAM lparam)
{
    HWND target = postTarget_.load();
    if (target) PostMessageA(target, WM_USER + 1, wparam, lparam);
}

bool Dialog::chooseFile(char* path, std::size_t capacity, const char* filter, const char* initialDir,
                        bool multiSelect)
{
    if (!path || capacity == 0) return false;
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = static_cast<DWORD>(capacity < 256 ? capacity : 256);
    ofn.lpstrInitialDir = initialDir;
    // The dialog would leave the current folder where the file was chosen; relative paths rely on it.
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (multiSelect ? OFN_ALLOWMULTISELECT : 0);
    return GetOpenFileNameA(&ofn) != FALSE;
}

int Dialog::showMessage(const char* text, const char* caption)
{
    MessageBoxA(hwnd(), text, caption, MB_ICONWARNING);
    return 1;
}
