#include "framework/DialogWindow.h"
#include <algorithm>
#include "framework/Application.h"
#include "framework/ControlDescriptor.h"
#include "framework/ControlFactory.h"
#include "framework/ControlLookup.h"
#include "framework/ControlWrapper.h"
#include "framework/Dialog.h"
#include "framework/MenuTarget.h"
#include "framework/ScrollBarTarget.h"
#include "framework/WindowIcons.h"

namespace {

constexpr UINT UserMessage = WM_USER + 1;
constexpr UINT_PTR TimerId = 1;
constexpr UINT TimerMs = 50;

BOOL CALLBACK firstAccelerator(HMODULE module, LPCSTR, LPSTR name, LONG_PTR out)
{
    *reinterpret_cast<HACCEL*>(out) = LoadAcceleratorsA(module, name);
    return FALSE;  // the first table is the one
}

struct PageBinding {
    DialogWindow* owner;
    HWND page;
};

BOOL CALLBACK bindPageControl(HWND control, LPARAM param)
{
    auto* b = reinterpret_cast<PageBinding*>(param);
    ControlFactory::bind(control, *b->owner, b->page);
    return TRUE;
}

struct Shift {
    HWND dialog;
    int dx, dy;
    HDWP batch;
};

BOOL CALLBACK shiftControl(HWND control, LPARAM param)
{
    auto* s = reinterpret_cast<Shift*>(param);
    if (GetDlgCtrlID(control) == 0 || GetParent(control) != s->dialog) return TRUE;
    ControlWrapper* w = ControlWrapper::fromWindow(control);
    if (!w || w->anchor() == 0) return TRUE;
    RECT r = w->rect();
    int a = w->anchor();
    if (a & AnchorMoveDown) {
        r.top += s->dy;
        r.bottom += s->dy;
    }
    if (a & AnchorMoveRight) {
        r.left += s->dx;
        r.right += s->dx;
    }
    if (a & AnchorGrowHeight) r.bottom += s->dy;
    if (a & AnchorGrowWidth) r.right += s->dx;
    w->setRect(r);
    const UINT flags = SWP_NOZORDER | SWP_NOOWNERZORDER;
    if (s->batch) s->batch = DeferWindowPos(s->batch, control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    // A batch that could not grow still places the control.
    if (!s->batch) SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    return TRUE;
}

int scrollAction(int request)
{
    switch (request) {
    case SB_LINEUP: return 2;
    case SB_LINEDOWN: return 3;
    case SB_PAGEUP: return 4;
    case SB_PAGEDOWN: return 5;
    case SB_THUMBPOSITION: return 1;
    default: return 0;
    }
}

}  // namespace

DialogWindow::DialogWindow(Dialog* dialog, int resourceId, const ControlDescriptor* const* descriptors,
                           DialogWindow* owner, bool ownedByParent)
    : resourceId_(resourceId),
      descriptors_(descriptors ? descriptors : ControlDescriptor::emptyList()),
      dialog_(dialog),
      owner_(owner)
{
    Application& app = Application::get();
    HWND parent = ownedByParent && owner ? owner->hwnd() : nullptr;
    hwnd_ = nullptr;
    HWND created = CreateDialogParamA(app.instance(), MAKEINTRESOURCEA(resourceId), parent,
                                      &DialogWindow::dialogProc, reinterpret_cast<LPARAM>(this));
    if (!created) {
        // No window: nothing to register, so no loop waits on a dialog that cannot close.
        if (hwnd_) forgetWindow();
        hwnd_ = nullptr;
        running_ = false;
        return;
    }
    hwnd_ = created;
    if (HMENU m = GetMenu(hwnd_)) menu_ = std::make_unique<MenuTarget>(m);
    vScroll_ = std::make_unique<ScrollBarTarget>(-2, this);
    hScroll_ = std::make_unique<ScrollBarTarget>(-3, this);
    EnumResourceNamesA(app.instance(), MAKEINTRESOURCEA(9), &firstAccelerator,
                       reinterpret_cast<LONG_PTR>(&accelerators_));
    SetTimer(hwnd_, TimerId, TimerMs, nullptr);
    app.registerWindow(this);
}

void DialogWindow::runTimer(bool on)
{
    if (!hwnd_) return;
    if (on)
        SetTimer(hwnd_, TimerId, TimerMs, nullptr);
    else
        KillTimer(hwnd_, TimerId);
}

DialogWindow::~DialogWindow()
{
    dialog_ = nullptr;
    Application::get().unregisterWindow(this);
    if (hwnd_ && IsWindow(hwnd_)) {
        HWND h = hwnd_;
        KillTimer(h, TimerId);
        if (dragging_) endDrag(false, 0, 0);
        forgetWindow();
        DestroyWindow(h);
    }
    menu_.reset();
    vScroll_.reset();
    hScroll_.reset();
}

// Unbinds everything: the window's slot first, then every page and control wrapper.
void DialogWindow::forgetWindow()
{
    HWND h = hwnd_;
    if (!h) return;
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    for (HWND page : pages_) {
        if (!IsWindow(page)) continue;
        SetWindowLongPtrA(page, GWLP_USERDATA, 0);
        unbindChildren(page);
    }
    pages_.clear();
    unbindChildren(h);
    hwnd_ = nullptr;
}

void DialogWindow::unbindChildren(HWND parent)
{
    for (HWND child = GetTopWindow(parent); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) < 1 || GetParent(child) != parent) continue;
        std::unique_ptr<ControlWrapper> w(ControlWrapper::fromWindow(child));
        SetWindowLongPtrA(child, GWLP_USERDATA, 0);
        // w's destructor gives the control its own procedure back.
    }
}

void DialogWindow::detachDialog()
{
    dialog_ = nullptr;
    if (hwnd_ && fromWindow(hwnd_) == this) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

DialogWindow* DialogWindow::fromWindow(HWND hwnd)
{
    if (!hwnd) return nullptr;
    if (GetWindowLongPtrA(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&DialogWindow::dialogProc))
        return nullptr;
    return reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

const ControlDescriptor* DialogWindow::findDescriptor(int id) const
{
    return ControlDescriptor::find(descriptors_, id);
}

void DialogWindow::initialise(HWND hwnd)
{
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!hwnd_) {
        hwnd_ = hwnd;
    } else if (hwnd != hwnd_) {
        // A page of this window: its controls are bound with this window as owner.
        pages_.push_back(hwnd);
        PageBinding b{this, hwnd};
        EnumChildWindows(hwnd, &bindPageControl, reinterpret_cast<LPARAM>(&b));
        return;
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    minWidth_ = r.right - r.left;
    minHeight_ = r.bottom - r.top;
    GetClientRect(hwnd, &r);
    clientWidth_ = createClientWidth_ = r.right - r.left;
    clientHeight_ = createClientHeight_ = r.bottom - r.top;
    WINDOWINFO info{};
    info.cbSize = sizeof info;
    if (GetWindowInfo(hwnd, &info)) {
        clientOriginX_ = info.rcClient.left - info.rcWindow.left;
        clientOriginY_ = info.rcClient.top - info.rcWindow.top;
    }

    const ControlDescriptor* d = findDescriptor(resourceId_);
    if (d && d->isKind(WindowIcons::Kind)) {
        auto* icons = static_cast<const WindowIcons*>(d);
        HINSTANCE instance = Application::get().instance();
        if (icons->bigIconId > 0) {
            HICON big = LoadIconA(instance, MAKEINTRESOURCEA(icons->bigIconId));
            SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        }
        if (icons->smallIconId > 0) {
            smallIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(icons->smallIconId), IMAGE_ICON,
                                                           GetSystemMetrics(SM_CXSMICON),
                                                           GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
            SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
        }
    }
    EnumChildWindows(hwnd, &ControlFactory::binder, reinterpret_cast<LPARAM>(this));
}

void DialogWindow::relayout(int width, int height)
{
    // The layout never goes below the creation size, so a minimise and a restore cancel out
    // and no control is pushed to a negative size.
    width = std::max(width, createClientWidth_);
    height = std::max(height, createClientHeight_);
    if (!hwnd_ || (width == clientWidth_ && height == clientHeight_)) return;
    Shift s{hwnd_, width - clientWidth_, height - clientHeight_, BeginDeferWindowPos(100)};
    EnumChildWindows(hwnd_, &shiftControl, reinterpret_cast<LPARAM>(&s));
    if (s.batch) EndDeferWindowPos(s.batch);
    clientWidth_ = width;
    clientHeight_ = height;
}

ValueTarget* DialogWindow::findTarget(int id)
{
    if (id == 0 || id == resourceId_) return this;
    if (id == -1) return menu_.get();
    if (id == -2) return vScroll_.get();
    if (id == -3) return hScroll_.get();
    if (!hwnd_) return nullptr;
    ControlWrapper* w = ControlWrapper::fromWindow(findControl(hwnd_, id));
    return w ? w->target() : nullptr;
}

void DialogWindow::closeWindow()
{
    Application& app = Application::get();
    app.closeOwnedWindows(this);
    if (dialog_) dialog_->closing();
    app.unregisterWindow(this);
    running_ = false;
}

HWND DialogWindow::createChildDialog(int resourceId)
{
    if (!hwnd_) return nullptr;
    return CreateDialogParamA(Application::get().instance(), MAKEINTRESOURCEA(resourceId), hwnd_,
                              &DialogWindow::dialogProc, reinterpret_cast<LPARAM>(this));
}

void DialogWindow::setText(const char* text, int)
{
    if (hwnd_) SetWindowTextA(hwnd_, text ? text : "");
}

KeyHandler* DialogWindow::getKeyHandler() { return nullptr; }

static RECT windowRect(HWND hwnd)
{
    RECT r{};
    if (!hwnd || !GetWindowRect(hwnd, &r)) return RECT{};
    return r;
}

int DialogWindow::getWidth()
{
    RECT r = windowRect(hwnd_);
    return r.right - r.left;
}

int DialogWindow::getHeight()
{
    RECT r = windowRect(hwnd_);
    return r.bottom - r.top;
}

int DialogWindow::getLeft(int) { return windowRect(hwnd_).left; }
int DialogWindow::getTop(int) { return windowRect(hwnd_).top; }

void DialogWindow::routeCommand(HWND hwnd, int id, int code, HWND sender)
{
    if (!sender && id == IDOK) {
        // Enter without an OK control (how Windows sends it) still reaches the focused control.
        HWND focus = GetFocus();
        if (focus && GetParent(focus) == hwnd && ControlWrapper::fromWindow(focus)) sender = focus;
    }
    if (!sender) {
        if (hwnd != hwnd_ || !dialog_) return;
        if (menu_)
            dialog_->commandIssued(id);  // the dialog decides whether Esc closes it
        else if (id == IDCANCEL)
            dialog_->close();  // without menu or Cancel control nothing else could close it
        return;
    }
    if (id == IDOK) {
        if (HWND focus = GetFocus()) sender = focus;
    }
    if (GetParent(sender) != hwnd) return;
    HWND self = hwnd_;
    bool wasRunning = running_;
    if (ControlWrapper* w = ControlWrapper::fromWindow(sender)) w->onCommand(code, id);
    // The handler may have deleted the dialog (auto-delete) or closed it: then nothing more of it.
    if (id != IDCANCEL || fromWindow(self) != this || (wasRunning && !running_)) return;
    if (dialog_) dialog_->close();
}

LRESULT DialogWindow::routeNotify(HWND hwnd, NMHDR* header)
{
    if (!header || GetParent(header->hwndFrom) != hwnd) return 0;
    if (header->code == LVN_DELETEITEM || header->code == LVN_DELETEALLITEMS) return 0;
    ControlWrapper* w = ControlWrapper::fromWindow(header->hwndFrom);
    return w ? w->onNotify(header) : 0;
}

void DialogWindow::routeScroll(HWND hwnd, ScrollBarTarget* bar, int request, int position, HWND sender)
{
    if (!sender) {
        int action = scrollAction(request);
        if (hwnd == hwnd_ && bar && action && dialog_) dialog_->selectionChanged(bar->id(), position, action);
        return;
    }
    if (GetParent(sender) != hwnd) return;
    if (ControlWrapper* w = ControlWrapper::fromWindow(sender)) w->onCommand(request, position);
}

void DialogWindow::beginDrag(int x, int y, int data1, int data2)
{
    if (!hwnd_ || dragging_) return;
    dragData_ = DragData{data1, data2};
    ShowCursor(FALSE);
    SetCapture(hwnd_);
    ImageList_DragEnter(hwnd_, x + clientOriginX_, y + clientOriginY_);
    dragging_ = true;
    hoverTarget_ = nullptr;
    dragCursor_.reset(ImageList_Create(GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR), ILC_MASK, 1, 1));
    if (dragCursor_) {
        int index = ImageList_ReplaceIcon(dragCursor_.get(), -1, LoadCursorA(nullptr, IDC_ARROW));
        if (index >= 0) ImageList_SetDragCursorImage(dragCursor_.get(), index, 0, 0);
    }
}

HWND DialogWindow::dropTarget(int x, int y) const
{
    HWND t = ChildWindowFromPointEx(hwnd_, POINT{x, y}, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
    return t == hwnd_ ? nullptr : t;
}

void DialogWindow::dragMove(int x, int y)
{
    HWND t = dropTarget(x, y);
    if (hoverTarget_ && hoverTarget_ != t) {
        if (ControlWrapper* w = ControlWrapper::fromWindow(hoverTarget_)) w->onDragLeave();
        hoverTarget_ = nullptr;
    }
    if (ControlWrapper* w = ControlWrapper::fromWindow(t)) {
        if (w->onDragOver(x, y, &dragData_)) hoverTarget_ = t;
    }
    ImageList_DragMove(x + clientOriginX_, y + clientOriginY_);
}

// Ends a drag: with dropIt the target under (x, y) gets the drop; otherwise it is cancelled.
void DialogWindow::endDrag(bool dropIt, int x, int y)
{
    dragging_ = false;  // before anything that could re-enter (ReleaseCapture sends a message)
    ImageList_EndDrag();
    ReleaseCapture();
    HWND t = dropIt ? dropTarget(x, y) : nullptr;
    if (hoverTarget_ && hoverTarget_ != t) {
        if (ControlWrapper* w = ControlWrapper::fromWindow(hoverTarget_)) w->onDragLeave();
    }
    if (ControlWrapper* w = ControlWrapper::fromWindow(t)) w->onDrop(x, y, &dragData_);
    hoverTarget_ = nullptr;
    ShowCursor(TRUE);
    dragCursor_.reset();
}

INT_PTR CALLBACK DialogWindow::dialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        if (auto* w = reinterpret_cast<DialogWindow*>(lparam)) w->initialise(hwnd);
        return TRUE;
    }
    auto* w = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!w) return FALSE;
    const bool main = hwnd == w->hwnd_;
    switch (message) {
    case WM_SIZE:
        if (main) w->relayout(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
        return FALSE;
    case WM_GETMINMAXINFO:
        if (main && w->minWidth_ > 0) {
            auto* mmi = reinterpret_cast<MINMAXINFO*>(lparam);
            mmi->ptMinTrackSize.x = w->minWidth_;
            mmi->ptMinTrackSize.y = w->minHeight_;
        }
        return FALSE;
    case WM_COMMAND:
        w->routeCommand(hwnd, LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
        return FALSE;
    case WM_NOTIFY: {
        LRESULT result = w->routeNotify(hwnd, reinterpret_cast<NMHDR*>(lparam));
        if (result == 0) return FALSE;
        // A dialog procedure hands a message result back through DWLP_MSGRESULT.
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_TIMER:
        if (w->dialog_) w->dialog_->timerTick();
        return FALSE;
    case WM_HSCROLL:
        w->routeScroll(hwnd, w->hScroll_.get(), LOWORD(wparam), static_cast<short>(HIWORD(wparam)), reinterpret_cast<HWND>(lparam));
        return FALSE;
    case WM_VSCROLL:
        w->routeScroll(hwnd, w->vScroll_.get(), LOWORD(wparam), static_cast<short>(HIWORD(wparam)), reinterpret_cast<HWND>(lparam));
        return FALSE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        ControlWrapper* c = ControlWrapper::fromWindow(reinterpret_cast<HWND>(lparam));
        return c ? reinterpret_cast<INT_PTR>(c->onCtlColor(reinterpret_cast<HDC>(wparam))) : 0;
    }
    case WM_MOUSEMOVE:
        if (main && w->dragging_) w->dragMove(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
        return FALSE;
    case WM_LBUTTONUP:
        if (main && w->dragging_) w->endDrag(true, static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
        return FALSE;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-drag: cancel it, so the cursor comes back.
        if (main && w->dragging_) w->endDrag(false, 0, 0);
        return FALSE;
    case WM_DESTROY:
        // Destroyed from outside (say, with its owner): unbind and leave the registry.
        if (main) {
            Application::get().unregisterWindow(w);
            w->running_ = false;
            if (w->dragging_) w->endDrag(false, 0, 0);
            w->forgetWindow();
        } else {
            // A page going away on its own: its controls' wrappers go with it.
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            w->unbindChildren(hwnd);
            w->pages_.erase(std::remove(w->pages_.begin(), w->pages_.end(), hwnd), w->pages_.end());
        }
        return FALSE;
    case UserMessage:
        if (w->dialog_) w->dialog_->userMessage(wparam, lparam);
        return TRUE;
    default:
        return FALSE;
    }
}
