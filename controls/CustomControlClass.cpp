#include "controls/CustomControlClass.h"
#include <new>
#include "controls/CustomControlHandler.h"
#include "controls/CustomControlWrapper.h"
#include "controls/CustomHandlerRegistry.h"
#include "framework/Application.h"

namespace {

// The class is registered as soon as the application has set up the common controls.
struct Registrar {
    Registrar() { Application::addClassRegistrar(&CustomControlClass::registerClass); }
} registrar;

int signedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }
int signedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

}  // namespace

void CustomControlClass::registerClass(HINSTANCE instance)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = Style;
    wc.lpfnWndProc = &CustomControlClass::windowProc;
    wc.cbWndExtra = sizeof(LONG_PTR);  // slot 0: the handler (a pointer, 8 bytes on 64-bit)
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.lpszClassName = Name;
    RegisterClassExA(&wc);
}

CustomControlHandler* CustomControlClass::handlerOf(HWND window)
{
    char name[16] = "";
    if (!window || !GetClassNameA(window, name, sizeof name) || lstrcmpiA(name, Name) != 0) return nullptr;
    return reinterpret_cast<CustomControlHandler*>(GetWindowLongPtrA(window, HandlerSlot));
}

void CustomControlClass::create(HWND window, const CREATESTRUCTA* create)
{
    int id = GetDlgCtrlID(window);
    void* params = create ? create->lpCreateParams : nullptr;
    CustomControlHandler* handler = CustomHandlerRegistry::createHandler(id, window, params);
    if (!handler) {
        // Declined or unknown id: the default handler. Creation succeeds in any case.
        handler = new (std::nothrow) CustomControlHandler(window);
        if (handler) handler->ownedByWindow_ = true;
    }
    SetWindowLongPtrA(window, HandlerSlot, reinterpret_cast<LONG_PTR>(handler));
}

void CustomControlClass::mouseMove(CustomControlHandler& handler, HWND window, WPARAM wparam, LPARAM lparam)
{
    int keys = static_cast<int>(wparam);
    int detail = (keys & (MK_LBUTTON | MK_RBUTTON)) ? 1 : 0;
    int x = signedLow(lparam), y = signedHigh(lparam);
    if (handler.hovering_) {
        handler.onMouse(3, detail, x, y, keys);
        return;
    }
    handler.hovering_ = 1;
    handler.onMouse(2, detail, x, y, keys);
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    track.dwHoverTime = 0;
    bool armed = TrackMouseEvent(&track) != FALSE;
    if (armed) {
        // Windows posts the leave at once when the cursor is already outside; Wine then
        // arms nothing and would never report the leave: post it ourselves.
        TRACKMOUSEEVENT query{};
        query.cbSize = sizeof query;
        query.dwFlags = TME_QUERY;
        armed = TrackMouseEvent(&query) && query.hwndTrack == window && (query.dwFlags & TME_LEAVE);
    }
    if (!armed) PostMessageA(window, WM_MOUSELEAVE, 0, 0);
}

void CustomControlClass::drop(HWND window, CustomControlHandler& handler, bool callDestroy)
{
    // No message reaches the handler after this, and the wrapper stops forwarding to it.
    SetWindowLongPtrA(window, HandlerSlot, 0);
    if (CustomControlWrapper* w = handler.wrapper()) w->handlerGone();
    handler.setWrapper(nullptr);
    bool owned = handler.ownedByWindow_;
    if (callDestroy) handler.onDestroy(window);  // a factory's handler may release itself here
    if (owned) delete &handler;
}

LRESULT CALLBACK CustomControlClass::windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    CustomControlHandler* h = reinterpret_cast<CustomControlHandler*>(GetWindowLongPtrA(window, HandlerSlot));
    if (h) {
        LRESULT result = 0;
        if (h->filterMessage(&result, message, wparam, lparam)) {
            // Even a handler that takes the last message is unlinked from the dying window.
            if (message == WM_NCDESTROY) drop(window, *h, false);
            return result;
        }
    }
    if (!h && message != WM_CREATE && message != WM_PAINT) return DefWindowProcA(window, message, wparam, lparam);

    switch (message) {
    case WM_CREATE:
        if (!h) create(window, reinterpret_cast<const CREATESTRUCTA*>(lparam));
        return 0;
    case WM_DESTROY:
        drop(window, *h, true);
        return 0;
    case WM_NCDESTROY:
        // Reached only when a filter kept WM_DESTROY from the handler.
        drop(window, *h, false);
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_SETFOCUS:
        h->onSetFocus(window, reinterpret_cast<HWND>(wparam));
        return 0;
    case WM_KILLFOCUS:
        h->onKillFocus(window, reinterpret_cast<HWND>(wparam));
        return 0;
    case WM_SETTEXT:
        h->onSetText(reinterpret_cast<const char*>(lparam));
        return 0;
    case WM_GETTEXT:
        return h->onGetText(reinterpret_cast<char*>(lparam), static_cast<int>(wparam));
    case WM_PAINT: {
        // Painted even without a handler, so the update region is always validated.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (h) h->onPaint(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_SETCURSOR:
        if (h->cursor()) {
            SetCursor(h->cursor());
            return 1;
        }
        // No cursor of its own: the default processing shows the class's arrow.
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_GETDLGCODE:
        return DialogCode;
    case WM_KEYDOWN:
        h->onKeyDown(static_cast<int>(wparam));
        return 0;
    case WM_CHAR:
        h->onChar(static_cast<int>(wparam));
        return 0;
    case WM_COMMAND:
        h->onCommand(LOWORD(wparam), HIWORD(wparam));
        return 0;
    case WM_MOUSEMOVE:
        mouseMove(*h, window, wparam, lparam);
        return 0;
    case WM_LBUTTONDOWN:
        h->onMouse(0, 1, signedLow(lparam), signedHigh(lparam), static_cast<int>(wparam));
        return 0;
    case WM_LBUTTONUP:
        h->onMouse(0, 0, signedLow(lparam), signedHigh(lparam), static_cast<int>(wparam));
        return 0;
    case WM_LBUTTONDBLCLK:
        h->onMouse(0, 2, signedLow(lparam), signedHigh(lparam), static_cast<int>(wparam));
        return 0;
    case WM_MOUSELEAVE:
        // One leave per entry, even when both the system and the fallback above post one.
        if (h->hovering_) {
            h->hovering_ = 0;
            h->onMouse(4, 0, 0, 0, 0);
        }
        return DefWindowProcA(window, message, wparam, lparam);
    default:
        if (message >= WM_USER) h->onUserMessage(message, wparam, lparam);
        return DefWindowProcA(window, message, wparam, lparam);
    }
}
