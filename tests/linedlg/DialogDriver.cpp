#include "tests/linedlg/DialogDriver.h"

#include <gtest/gtest.h>
#include <cstring>
#include "support/Bench.h"

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM param)
{
    auto* s = reinterpret_cast<Search*>(param);
    char text[256] = {};
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    if (GetWindowTextA(window, text, sizeof text) <= 0 || std::strcmp(text, s->caption) != 0) return TRUE;
    s->found = window;
    return FALSE;
}

}  // namespace

DialogDriver::DialogDriver(std::function<void(DialogDriver&)> script) : ownerThread_(GetCurrentThreadId())
{
    thread_ = std::thread([this, script] {
        script(*this);
        // A script that failed half-way must not leave the test thread in its modal loop.
        if (lastDialog_ && !WaitGone(lastDialog_, 3000)) {
            ADD_FAILURE() << "the dialog was still open when the script ended";
            PostMessageA(lastDialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        done_ = true;
    });
}

DialogDriver::~DialogDriver() { Join(); }

void DialogDriver::Join()
{
    // Sent messages reach this thread's windows only while it pumps.
    if (!thread_.joinable()) return;
    while (!done_) bench::pump(10);
    thread_.join();
}

HWND DialogDriver::WaitForDialog(const char* caption, DWORD timeoutMs)
{
    Search s{caption, nullptr};
    double end = bench::nowMs() + timeoutMs;
    while (!s.found && bench::nowMs() < end) {
        EnumThreadWindows(ownerThread_, matchDialog, reinterpret_cast<LPARAM>(&s));
        if (!s.found) Sleep(20);
    }
    if (s.found) lastDialog_ = s.found;
    return s.found;
}

bool DialogDriver::WaitGone(HWND window, DWORD timeoutMs)
{
    double end = bench::nowMs() + timeoutMs;
    while (IsWindow(window)) {
        if (bench::nowMs() > end) return false;
        Sleep(20);
    }
    return true;
}

LRESULT DialogDriver::Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    DWORD_PTR result = 0;
    // Never block for good on a thread that has stopped pumping.
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, 5000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

std::string DialogDriver::Text(HWND window)
{
    char text[4096] = {};  // as much as the capture pane holds
    Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

int DialogDriver::Selection(HWND combo) { return static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0)); }

HWND DialogDriver::Focused() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(ownerThread_, &info) ? info.hwndFocus : nullptr;
}

HWND DialogDriver::EditField(HWND control)
{
    HWND inner = FindWindowExA(control, nullptr, "Edit", nullptr);
    return inner ? inner : control;
}

void DialogDriver::Focus(HWND dialog, int id)
{
    Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(dialog, id)), TRUE);
}

void DialogDriver::Type(HWND dialog, int id, const char* text)
{
    Focus(dialog, id);
    HWND edit = EditField(Item(dialog, id));
    Send(edit, EM_SETSEL, 0, -1);
    for (const char* c = text; *c; ++c) Send(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

void DialogDriver::Erase(HWND dialog, int id)
{
    Focus(dialog, id);
    HWND edit = EditField(Item(dialog, id));
    Send(edit, EM_SETSEL, 0, -1);
    Send(edit, WM_CHAR, VK_BACK, 1);
}

void DialogDriver::SendKey(HWND target, int virtualKey)
{
    Send(target, WM_KEYDOWN, virtualKey, 1);
    Send(target, WM_KEYUP, virtualKey, 0xC0000001);
}

void DialogDriver::Choose(HWND dialog, int id, int index)
{
    Focus(dialog, id);
    HWND combo = Item(dialog, id);
    HWND target = EditField(combo);
    // From wherever the selection is, up to the first entry, then down to the wanted one.
    int count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && Selection(combo) != 0; ++i) SendKey(target, VK_UP);
    if (Selection(combo) < 0) SendKey(target, VK_DOWN);
    for (int i = 0; i < count && Selection(combo) < index; ++i) SendKey(target, VK_DOWN);
}

void DialogDriver::Click(HWND dialog, int id) { Send(Item(dialog, id), BM_CLICK, 0, 0); }

void DialogDriver::PressKey(int virtualKey)
{
    HWND target = Focused();
    // Posted, so that the loop's dialog navigation sees it as it sees a real key.
    if (!target) return;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

void DialogDriver::CloseBox(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }
