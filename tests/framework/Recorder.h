// Recording dialogs and wrappers for the framework tests, and a pump that gives the
// registered dialogs their keyboard handling.
#pragma once
#include "support/Bench.h"
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "framework/ControlWrapper.h"
#include "framework/Dialog.h"
#include "framework/DialogWindow.h"

struct Event {
    std::string what;
    int id = 0;
    long long a = 0;
    long long b = 0;
    std::string text;
};

// Events outlive the objects that record them.
struct EventLog {
    std::vector<Event> events;
    void add(const std::string& what, int id, long long a = 0, long long b = 0, const std::string& text = {})
    {
        events.push_back(Event{what, id, a, b, text});
    }
    int count(const std::string& what) const;
    const Event* last(const std::string& what) const;
    void clear() { events.clear(); }
};

class RecordingDialog : public Dialog {
public:
    RecordingDialog(EventLog& log, int resourceId, const ControlDescriptor* const* descriptors = nullptr,
                    Dialog* parent = nullptr, bool owned = false, const char* name = "")
        : Dialog(resourceId, descriptors, parent, owned, false), log_(log), name_(name)
    {
    }
    ~RecordingDialog() override { log_.add("destroyed", 0, 0, 0, name_); }

    bool commandIssued(int id) override;
    bool valueChanged(int id, const Value& value, int item) override;
    bool selectionChanged(int id, int position, int code) override;
    void timerTick() override;
    bool closing() override;
    void focusChanged(int id, bool gained) override;
    void userMessage(WPARAM wparam, LPARAM lparam) override;

    bool recordTicks = false;
    bool closeOnCommand = false;
    int unbindOnFocus = 0;  // deletes this control's wrapper when the control gains the focus

private:
    EventLog& log_;
    std::string name_;
};

// A wrapper that records its events; onDragOver accepts when acceptDrag.
class TestWrapper : public ControlWrapper {
public:
    TestWrapper(DialogWindow* owner, HWND control, int id, EventLog& log)
        : ControlWrapper(owner, control, id), log_(log)
    {
    }
    ~TestWrapper() override { log_.add("wrapperGone", id_); }
    void onCommand(int code, int arg) override;
    LRESULT onNotify(NMHDR* header) override;
    void onDragLeave() override;
    bool onDragOver(int x, int y, DragData* data) override;
    void onDrop(int x, int y, DragData* data) override;
    void onFocus(bool gained) override;

    bool acceptDrag = false;
    LRESULT notifyResult = 0;

private:
    EventLog& log_;
};

// Replaces the wrapper bound to a control with a new one, keeping its rectangle and anchor.
template <class W, class... Args>
W* rebind(Dialog& dialog, int id, Args&&... args)
{
    HWND control = GetDlgItem(dialog.hwnd(), id);
    ControlWrapper* old = ControlWrapper::fromWindow(control);
    RECT r = old ? old->rect() : RECT{};
    int anchor = old ? old->anchor() : 0;
    std::unique_ptr<ControlWrapper> gone(old);
    SetWindowLongPtrA(control, GWLP_USERDATA, 0);
    gone.reset();
    auto w = std::make_unique<W>(dialog.window(), control, id, std::forward<Args>(args)...);
    w->setRect(r);
    w->setAnchor(anchor);
    return w.release();  // owned through the control's user-data slot, like every bound wrapper
}

// Pumps this thread's messages for ms, offering each to the registered dialogs first.
using bench::pumpDialogs;

// A control's rectangle in its parent's client area, read from the window itself.
RECT placeOf(Dialog& dialog, int id);

// Runs fn on another thread after delayMs (used to answer modal boxes).
class Helper {
public:
    template <class F>
    explicit Helper(F fn) : fn_(std::make_unique<Fn<F>>(std::move(fn)))
    {
        thread_.reset(CreateThread(nullptr, 0, &Helper::run, this, 0, nullptr));
    }
    ~Helper() { WaitForSingleObject(thread_.get(), 10000); }

private:
    struct Base {
        virtual ~Base() = default;
        virtual void call() = 0;
    };
    template <class F>
    struct Fn : Base {
        explicit Fn(F f) : f(std::move(f)) {}
        void call() override { f(); }
        F f;
    };
    static DWORD WINAPI run(LPVOID self)
    {
        static_cast<Helper*>(self)->fn_->call();
        return 0;
    }
    std::unique_ptr<Base> fn_;
    UniqueHandle thread_;
};
