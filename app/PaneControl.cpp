#include "app/PaneControl.h"

#include <cstring>
#include "app/CapturePane.h"

bool PaneControl::Update(HWND edit, const CapturePane& pane)
{
    // Text the user typed is not kept: the next entry sets the pane text whole over it.
    if (!edit || pane.Rebuilt() || SendMessageA(edit, EM_GETMODIFY, 0, 0)) return false;
    const int32_t dropped = pane.ShownDropped(), kept = pane.ShownKept();
    // Only over the text shown last (a text put in from outside leaves no modify flag).
    char shown[CapturePane::kTextSize + 1];
    int n = GetWindowTextA(edit, shown, sizeof shown);
    if (n != dropped + kept || std::memcmp(shown + dropped, pane.Text(), size_t(kept)) != 0) return false;
    SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
    if (dropped > 0) {
        SendMessageA(edit, EM_SETSEL, 0, dropped);
        SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    }
    if (pane.Length() > kept) {
        SendMessageA(edit, EM_SETSEL, kept, kept);
        SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pane.Text() + kept));
    }
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    // Character positions can differ from byte positions (double-byte code pages): check it all.
    n = GetWindowTextA(edit, shown, sizeof shown);
    const bool whole = n == pane.Length() && std::memcmp(shown, pane.Text(), size_t(n)) == 0;
    LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    LRESULT first = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    // As after setting the whole text: the last line at the top of the view.
    if (lines - 1 > first) SendMessageA(edit, EM_LINESCROLL, 0, lines - 1 - first);
    SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(edit, nullptr, FALSE);
    return whole;
}
