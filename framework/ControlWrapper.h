// The object bound to every child control of a dialog: routing target for the control's
// events (first interface) and ValueTarget for the application (second interface).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <memory>
#include "framework/ColorTriple.h"
#include "framework/DragData.h"
#include "framework/KeyHandler.h"
#include "framework/UniqueHandle.h"
#include "framework/ValueTarget.h"

class Dialog;
class DialogWindow;
class Value;

// Derived wrappers override the operations below; they must not replace the control's window
// procedure themselves (the subclass keeps the procedure it replaced on the control, and
// fromWindow recognises bound controls by it).
class ControlWrapper : public ValueTarget {
public:
    // Stores itself in the control's user-data slot and subclasses the control (once: a control
    // still subclassed keeps its chain).
    ControlWrapper(DialogWindow* owner, HWND control, int id);
    ControlWrapper(const ControlWrapper&) = delete;
    ControlWrapper& operator=(const ControlWrapper&) = delete;

    // Event interface, in slot order.
    virtual int onChildWindow(HWND child);                        // 0: base 0
    virtual ~ControlWrapper();                                    // 1: restores the procedure
    virtual bool getPages(int& count, const HWND*& pages);        // 2: base false
    virtual void onScrollFocus();                                 // 3
    virtual void onCommand(int code, int arg);                    // 4: EN_CHANGE reports the text
    virtual LRESULT onNotify(NMHDR* header);                      // 5: base 0
    virtual void onDragLeave();                                   // 6
    virtual bool onDragOver(int x, int y, DragData* data);        // 7: base false
    virtual void onDrop(int x, int y, DragData* data);            // 8
    virtual HBRUSH onCtlColor(HDC dc);                            // 9: the colour answer
    virtual void setIdHigh(int value);                            // 10
    virtual void setKeyHandler(KeyHandler* handler);              // 11: releases the old one
    virtual void activate();                                      // 12
    virtual void onFocus(bool gained);                            // 13
    virtual bool onKeyDown(int key);                              // 14: true = consumed
    virtual LONG getStyle();                                      // 15
    virtual LONG getExStyle();                                    // 16
    virtual void getRect(RECT& out);                              // 17: screen coordinates

    // ValueTarget, base behaviour.
    void setColors(const ColorTriple& colors) override;
    void setInt(int value, int item) override;        // "%d", then own setText
    void setReal(double value, int item) override;    // "%f", then own setText
    void setText(const char* text, int item) override;
    void setColorScheme(int scheme, int item) override;
    void setFont(int unused1, int height, int style, int unused2) override;  // "Terminal"
    void enable(bool on, int item) override;
    void show(bool on, int item) override;
    void clear(int item) override;
    KeyHandler* getKeyHandler() override;
    int getWidth() override;
    int getHeight() override;
    int getLeft(int unused) override;
    int getTop(int unused) override;

    // The wrapper bound to a control (its user-data slot), or null.
    static ControlWrapper* fromWindow(HWND control);
    // The subclass procedure of every bound control; unbound, it calls the procedure it replaced.
    static LRESULT CALLBACK subclassProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam);

    HWND window() const { return hwnd_; }
    int id() const { return id_; }
    DialogWindow* owner() const { return owner_; }
    int anchor() const { return anchor_; }
    void setAnchor(int anchor) { anchor_ = anchor; }
    const RECT& rect() const { return rect_; }
    void setRect(const RECT& rect) { rect_ = rect; }
    const ColorTriple& colors() const { return colors_; }
    ValueTarget* target() { return this; }

protected:
    // The owner's Dialog, or null once the dialog is being torn down; reports go through these.
    Dialog* dialog() const;
    bool reportCommand();                                  // commandIssued(id)
    bool reportValue(const Value& value, int item);        // valueChanged(id, value, item)
    bool reportSelection(int position, int code);          // selectionChanged(id, position, code)
    void reportFocus(bool gained);                         // focusChanged(id, gained)
    // Passes a message to the control's own procedure.
    LRESULT callPrevious(UINT message, WPARAM wparam, LPARAM lparam);

    ColorTriple colors_;
    std::unique_ptr<KeyHandler, KeyHandler::Releaser> keyHandler_;
    DialogWindow* owner_;
    HWND hwnd_;
    int id_;
    int anchor_ = 0;
    RECT rect_{};
    WNDPROC previousProc_ = nullptr;

private:
    UniqueGdiObject font_;  // the last font made by setFont; replaced ones are deleted
};
