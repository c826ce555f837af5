// List box: entries added, inserted, removed and selected by index; the user's selection is
// reported with the entry's text.
#pragma once
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class ListBoxWrapper : public ControlWrapper {
public:
    // A ListItems descriptor of kind 11 fills the list; nothing is selected.
    ListBoxWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);

    void setInt(int value, int item) override;  // as select(value)
    // Inserts at item; -1, -2, any other negative item or one past the end appends. A moved
    // selection is reported: the old one with code 0, then the new one with code 1.
    void setText(const char* text, int item) override;
    // Removes entry item, or every entry when item is out of range; reports the selection
    // lost (code 0) first and the selection left afterwards (code 1).
    void clear(int item) override;
    // Reports the old selection with code 0; selects and focuses entry item (reported with
    // code 1) or, out of range, clears the selection.
    void select(int item) override;
    // LBN_SELCHANGE: selectionChanged(id, s, 1), then valueChanged(id, text, s); LBN_DBLCLK: command.
    void onCommand(int code, int arg) override;

    int itemCount() const { return itemCount_; }

private:
    int selection() const;
    void recount();

    int itemCount_ = 0;
};
