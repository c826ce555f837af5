// A dialog that records what the grid, list and tree wrappers report, and its helpers.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "framework/ControlWrapper.h"
#include "framework/Dialog.h"
#include "framework/DialogWindow.h"

struct Report {
    std::string what;
    int id = 0;
    int a = 0;
    int b = 0;
    std::string text;
    int rowsAtReport = -1;  // list view rows when the report arrived
};

class GridRecorder : public Dialog {
public:
    GridRecorder(int resourceId, const ControlDescriptor* const* descriptors)
        : Dialog(resourceId, descriptors, nullptr, false, false)
    {
    }

    bool commandIssued(int id) override;
    bool valueChanged(int id, const Value& value, int item) override;
    bool selectionChanged(int id, int position, int code) override;
    void gridScrolled(int id, int value) override;
    void gridRowFocused(int id, int row) override;
    void focusChanged(int id, bool gained) override;

    int count(const std::string& what) const;
    const Report* last(const std::string& what) const;
    std::vector<Report> all(const std::string& what) const;
    void clear() { reports.clear(); }

    // The wrapper of a control of this dialog, as its own type.
    template <class W>
    W* wrapper(int id)
    {
        return dynamic_cast<W*>(ControlWrapper::fromWindow(GetDlgItem(hwnd(), id)));
    }

    std::vector<Report> reports;
    bool acceptValues = true;  // the answer to valueChanged
    int advanceGrid = 0;  // a data-entry dialog: each value makes the next row this grid's current one
    HWND countRowsOf = nullptr;  // list view whose row count is noted with each report
};

// Pumps this thread's messages for a while, so posted work and painting are done.
void settle(DWORD ms = 30);
