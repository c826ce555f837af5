// The modal "Serial Communications Settings" dialog (resource 9700): edits a working copy of
// the line settings and writes it back whole on OK.
#pragma once
#include <cstdint>
#include "framework/Dialog.h"
#include "serial/CommCfg.h"

class ControlDescriptor;
class Value;

class LineSettingsDialog : public Dialog {
public:
    // The five list sources: port names, baud, data-bit, parity and stop-bit labels.
    static const ControlDescriptor* const kDescriptors[];

    // Runs the dialog modally over owner on the live settings; true after OK.
    static bool Run(CommCfg& live, Dialog& owner);

    // Builds the window and shows the live settings; result (cleared by the caller) is set to 1 on OK.
    LineSettingsDialog(CommCfg& live, uint8_t* result, Dialog& owner);

    bool commandIssued(int id) override;
    bool valueChanged(int id, const Value& value, int item) override;
    bool selectionChanged(int id, int index, int code) override;

    const CommCfg& WorkingCopy() const { return working_; }

private:
    void ShowTimeout();

    CommCfg* live_;
    CommCfg working_;
    uint8_t* result_;
};
