#include "framework/ControlLookup.h"
#include "framework/ControlWrapper.h"

HWND findControl(HWND parent, int id)
{
    if (!parent) return nullptr;
    for (HWND child = GetTopWindow(parent); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) < 1 || GetParent(child) != parent) continue;
        ControlWrapper* w = ControlWrapper::fromWindow(child);
        if (!w) continue;
        if (w->id() == id) return child;
        int count = 0;
        const HWND* pages = nullptr;
        if (w->getPages(count, pages) && pages) {
            for (int i = 0; i < count; ++i) {
                if (HWND hit = findControl(pages[i], id)) return hit;
            }
        }
    }
    return nullptr;
}

RECT rectInParent(HWND window)
{
    RECT r{};
    HWND parent = window ? GetParent(window) : nullptr;
    if (!parent || !GetWindowRect(window, &r)) return RECT{};
    POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
    ScreenToClient(parent, &topLeft);
    ScreenToClient(parent, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}
