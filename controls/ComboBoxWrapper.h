// Combo box: entries added, inserted, removed and selected by index or text; the user's choice
// and typing are reported. Its edit field, if any, gets a plain wrapper of its own that
// reports focus and keys under the combo box's id.
#pragma once
#include <memory>
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class ComboBoxWrapper : public ControlWrapper {
public:
    // A ListItems descriptor of kind 10 fills the list and selects its first entry (unreported).
    ComboBoxWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);
    ~ComboBoxWrapper() override;  // the edit field's wrapper goes first

    // A child of class "Edit" becomes the inner edit; always 1 (go on enumerating).
    int onChildWindow(HWND child) override;
    // CBN_SELCHANGE: selectionChanged(id, s, 1), then valueChanged(id, entry text, s);
    // CBN_EDITCHANGE: valueChanged(id, window text, -1).
    void onCommand(int code, int arg) override;
    void setIdHigh(int value) override;                // also on the edit field
    void setKeyHandler(KeyHandler* handler) override;  // the edit field forwards to it
    void activate() override;                          // focuses the edit field if any
    void onFocus(bool gained) override;                // silent when the edit field reports
    bool onKeyDown(int key) override;                  // keys go to the key handler only with Shift
    LONG getStyle() override;                          // with WS_VSCROLL
    void getRect(RECT& out) override;                  // the dropped-down list's rectangle

    void setInt(int value, int item) override;  // as select(value)
    // item -1: selects the entry equal to text (none: no selection); -2 or past the end:
    // appends; another negative item: nothing; else inserts at item. Never reported.
    void setText(const char* text, int item) override;
    void clear(int item) override;   // entry item, or all when out of range
    void select(int item) override;  // in range only; never reported

    int itemCount() const { return itemCount_; }
    ControlWrapper* innerEdit() const { return innerEdit_.get(); }

private:
    void recount();

    int itemCount_ = 0;
    std::unique_ptr<ControlWrapper> innerEdit_;
};
