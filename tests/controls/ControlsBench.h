// A dialog that records what the control wrappers report, and helpers to drive the controls.
#pragma once
#include "support/Bench.h"
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "framework/ControlWrapper.h"
#include "framework/Dialog.h"
#include "framework/DialogWindow.h"

struct Report {
    std::string what;  // "command", "value", "selection", "focus"
    int id = 0;
    int a = 0;         // value: item; selection: position; focus: gained
    int b = 0;         // selection: code
    std::string text;  // value: the text
};

class ReportingDialog : public Dialog {
public:
    explicit ReportingDialog(int resourceId, const ControlDescriptor* const* descriptors = nullptr)
        : Dialog(resourceId, descriptors, nullptr, false, false)
    {
    }

    bool commandIssued(int id) override;
    bool valueChanged(int id, const Value& value, int item) override;
    bool selectionChanged(int id, int position, int code) override;
    void focusChanged(int id, bool gained) override;

    // Reports of one kind (all ids, or one id).
    std::vector<Report> of(const std::string& what, int id = 0) const;
    void forget() { reports.clear(); }

    std::vector<Report> reports;
    bool acceptValues = true;  // what valueChanged answers
    bool recordFocus = false;

    HWND item(int id) const { return GetDlgItem(hwnd(), id); }
    ValueTarget* target(int id) const { return window()->findTarget(id); }
    template <class W>
    W* wrapper(int id) const
    {
        return dynamic_cast<W*>(ControlWrapper::fromWindow(item(id)));
    }
};

// Pumps this thread's messages for ms, offering each to the registered dialogs first (as the
// application's loop does: Tab, Enter and the like).
using bench::pumpDialogs;

// Replaces the wrapper of a control with a new W(owner, control, id, args...), as binding does.
template <class W, class... Args>
W* rebind(Dialog& dialog, int id, Args&&... args)
{
    HWND control = GetDlgItem(dialog.hwnd(), id);
    std::unique_ptr<ControlWrapper> old(ControlWrapper::fromWindow(control));
    SetWindowLongPtrA(control, GWLP_USERDATA, 0);
    old.reset();
    auto w = std::make_unique<W>(dialog.window(), control, id, std::forward<Args>(args)...);
    return w.release();  // owned through the control's user-data slot, like every bound wrapper
}

// The text of a window as its own procedure gives it (up to 8191 characters).
std::string windowText(HWND window);
