// A dialog that records what the wrappers report, and helpers that drive controls as a user
// would (mouse and keys sent to the control).
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include "framework/ControlWrapper.h"
#include "framework/Dialog.h"

struct Report {
    std::string what;  // "value", "selection", "command"
    int id = 0;
    int a = 0;         // value: item; selection: position
    int b = 0;         // value: asInt; selection: code
    int kind = 0;      // value: the Value's kind
    double real = 0;   // value: asReal
    std::string text;  // value: text
};

class RecordingDialog : public Dialog {
public:
    RecordingDialog(int resourceId, const ControlDescriptor* const* descriptors)
        : Dialog(resourceId, descriptors, nullptr, false, false)
    {
    }

    bool commandIssued(int id) override;
    bool valueChanged(int id, const Value& value, int item) override;
    bool selectionChanged(int id, int position, int code) override;

    std::vector<Report> reports;
    // The reports of one kind, in order.
    std::vector<Report> of(const std::string& what) const;

    HWND item(int id) const { return GetDlgItem(hwnd(), id); }
    ControlWrapper* wrapper(int id) const { return ControlWrapper::fromWindow(item(id)); }
    template <class W>
    W* as(int id) const { return dynamic_cast<W*>(wrapper(id)); }
};

// Pumps this thread's messages for ms.
void pumpFor(DWORD ms);

// A fixture that opens one recording dialog per test and destroys it afterwards.
class RecordingTest : public ::testing::Test {
protected:
    // Creates the dialog, lets it settle and forgets what creating it reported.
    void open(int resourceId, const ControlDescriptor* const* descriptors)
    {
        dialog = std::make_unique<RecordingDialog>(resourceId, descriptors);
        ASSERT_TRUE(dialog->created());
        pumpFor(50);
        dialog->reports.clear();
    }
    void TearDown() override
    {
        dialog.reset();
        pumpFor(20);
    }

    std::unique_ptr<RecordingDialog> dialog;
};
// A left click at a client point of a control (button down, then up).
void clickAt(HWND control, int x, int y);
// A key press on a control (down, then up).
void pressKey(HWND control, UINT key);
// The centre of a rectangle.
POINT centre(const RECT& r);
