// The key handler of a combo box's edit field: passes everything to the handler the combo box
// holds, so the shared handler is released once, by the combo box.
#pragma once
#include "framework/KeyHandler.h"

class ControlWrapper;

class ForwardingKeyHandler : public KeyHandler {
public:
    // owner: the wrapper whose current key handler receives the calls (outlives this handler).
    ForwardingKeyHandler(ControlWrapper& owner, int id);

    int getGridId() override;
    int getTopRow() override;
    int getVisibleRows() override;
    int getColumnCount() override;
    int getCellId(int n) override;
    bool onKey(int key, int id) override;
    void onFocusGained(int id) override;
    // release (base): deletes only this forwarder.

private:
    KeyHandler* target() const;

    ControlWrapper& owner_;
};
