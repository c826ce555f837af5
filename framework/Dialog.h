// The application-facing dialog: derive from it, override the event operations, use the
// utility operations. Made from a dialog resource; owns its DialogWindow.
#pragma once
#include <windows.h>
#include <atomic>
#include <cstddef>
#include <memory>

class ControlDescriptor;
class DialogWindow;
class Value;

class Dialog {
public:
    // Creates the window at once (its initialisation reaches only this base's operations).
    // descriptors: null-terminated list or null; parent: the owner dialog or null.
    Dialog(int resourceId, const ControlDescriptor* const* descriptors, Dialog* parent,
           bool ownedByParent, bool startMinimized);
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Event operations, in slot order; the base answers given.
    virtual ~Dialog();                                                 // 0
    // Menu items and accelerators (no sending control) arrive here only in a dialog with a
    // menu. Enter without a sending control (how Windows sends it when there is no OK control)
    // goes to the focused control's wrapper as (0, 1) when it has one, so Enter commits an edit
    // field in every dialog. Esc or the close box without a control of id 2 closes a dialog
    // that has no menu (otherwise nothing could); with a menu it only issues 2 here.
    virtual bool commandIssued(int id);                                // 1: true
    virtual bool valueChanged(int id, const Value& value, int item);  // 2: true
    virtual bool selectionChanged(int id, int position, int code);    // 3: true
    virtual void timerTick();                                          // 4: every 50 ms
    virtual bool closing();                                            // 5: true (ignored)
    // value is the grid's new top row, not its interface: an int cannot carry a pointer in a
    // 64-bit build. The interface is findTarget(id)->getKeyHandler() (window()'s findTarget).
    virtual void gridScrolled(int id, int value);                      // 6
    virtual void gridRowFocused(int id, int row);                      // 7
    virtual void focusChanged(int id, bool gained);                    // 8
    virtual void userMessage(WPARAM wparam, LPARAM lparam);            // 9: message 1025

    // Runs a nested loop until this dialog is closed (the parent is disabled meanwhile).
    void runModal();
    // Closes owned dialogs, calls closing, unregisters; the window stays until deletion.
    void close();
    void setText(int id, const char* text, int item);
    void setInt(int id, int value, int item);  // AutoValue shows "Auto"
    void enable(int id, bool on, int item);
    // Stops the 50 ms timer while the dialog has nothing to do at ticks, or starts it again.
    void runTimer(bool on);
    // Posts message 1025 to the window; safe from any thread.
    void postUserMessage(WPARAM wparam, LPARAM lparam);
    // Open-file dialog into path (capacity characters with the terminator; the file name
    // buffer offered is at most 256); true when a file was chosen. The current folder stays as it was.
    bool chooseFile(char* path, std::size_t capacity, const char* filter, const char* initialDir,
                    bool multiSelect);
    template <std::size_t N>
    bool chooseFile(char (&path)[N], const char* filter, const char* initialDir, bool multiSelect)
    {
        return chooseFile(path, N, filter, initialDir, multiSelect);
    }
    // Warning message box with an OK button; returns 1.
    int showMessage(const char* text, const char* caption);

    DialogWindow* window() const { return window_.get(); }
    HWND hwnd() const;
    // False when the dialog resource could not be made into a window.
    bool created() const;
    void setAutoDelete(bool on) { autoDelete_ = on; }
    bool autoDelete() const { return autoDelete_; }

protected:
    // Stops every event reaching this dialog (the window's user-data slot is cleared). A derived
    // dialog whose members can raise messages while they are destroyed (threads, child windows,
    // boxes) calls it first in its destructor: the base destructor runs after those members.
    void detach();

private:
    std::unique_ptr<DialogWindow> window_;
    bool autoDelete_ = false;
    std::atomic<HWND> postTarget_{nullptr};  // what postUserMessage posts to, from any thread
};
