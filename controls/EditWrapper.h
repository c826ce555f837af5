// Edit control: text set, replaced or appended as a line (keeping the last 100 lines); user
// changes are reported once, at Enter or loss of focus, or at every change when asked.
#pragma once
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class EditWrapper : public ControlWrapper {
public:
    static constexpr int MaxLines = 100;  // lines kept by an append

    // An EditOptions descriptor (kind 5) with bit 0 of its flags makes every change commit.
    EditWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);

    // item -1 replaces the text, -2 appends it as a new line; any item scrolls to the end.
    void setText(const char* text, int item) override;
    void clear(int item) override;  // a negative item empties the text
    void onCommand(int code, int arg) override;

    // Reports a text the user changed and the dialog has not accepted yet, as Enter would.
    void commitPending();
    // Forgets a text the dialog refused, so it is never reported under another row.
    void dropPending() { dirty_ = 0; }

    bool dirty() const { return dirty_ != 0; }
    bool commitOnChange() const { return commitOnChange_ != 0; }

private:
    bool appendLine(const char* text);
    // The character index of the caret (its position while focused, else the selection's end).
    int caretIndex();
    void commit();

    int dirty_ = 0;           // changed by the user and not yet accepted by the dialog
    int commitOnChange_ = 0;
    bool settingText_ = false;  // our own SetWindowTextA is running: its EN_CHANGE is no user change
};
