// What a "formcctrl" window does: drawing, input and values are handed to this object. The
// base class is the default handler: it draws nothing and ignores input.
#pragma once
#include <windows.h>

class CustomControlClass;
class CustomControlWrapper;
class Dialog;

class CustomControlHandler {
public:
    // A handler for window (the control being created).
    explicit CustomControlHandler(HWND window);
    CustomControlHandler(const CustomControlHandler&) = delete;
    CustomControlHandler& operator=(const CustomControlHandler&) = delete;
    // The window never frees a handler a factory made: such a handler releases itself (or is
    // released by its maker) after onDestroy. The default handler is freed by the window.
    virtual ~CustomControlHandler();

    virtual void attach(Dialog* dialog, void* param);                 // 0: the dialog binds the control
    virtual void onDestroy(HWND window);                              // 1: the last call from the window
    virtual void onSetText(const char* text);                         // 2
    virtual int onGetText(char* buffer, int maxLength);               // 3: empty text, 0
    virtual void onPaint(HDC dc);                                     // 4
    virtual void onKeyDown(int key);                                  // 5
    virtual void onChar(int character);                               // 6
    virtual void onSetFocus(HWND window, HWND previous);              // 7
    virtual void onKillFocus(HWND window, HWND next);                 // 8
    // kind 0 left button (detail 1 pressed, 2 double-clicked, 0 released), 2 entered, 3 moved
    // (detail 1 while the left or right button is held), 4 left (all else 0).
    virtual void onMouse(int kind, int detail, int x, int y, int keys);  // 9
    virtual void onCommand(int id, int code);                         // 10: from the control's children
    virtual void onUserMessage(UINT message, WPARAM wparam, LPARAM lparam);  // 11: WM_USER and up
    // Sees every message first; true means handled, *result is returned (preset to 0).
    virtual bool filterMessage(LRESULT* result, UINT message, WPARAM wparam, LPARAM lparam);  // 12

    // The ValueTarget operations of the control's wrapper, forwarded unchanged.
    virtual void setInt(int value, int index);        // 13
    virtual void setReal(double value, int index);    // 14
    virtual void setText(const char* text, int index);  // 15
    virtual void enable(bool on, int index);          // 16: nothing (no EnableWindow)
    virtual void show(bool on, int index);            // 17: ShowWindow
    virtual void clear(int index);                    // 18
    virtual void select(int index);                   // 19
    virtual int getLeft(int arg);                     // 20: left edge in the parent's client area
    virtual void* getExtension(int which);            // 21: null

    CustomControlWrapper* wrapper() const { return wrapper_; }
    void setWrapper(CustomControlWrapper* wrapper) { wrapper_ = wrapper; }
    HCURSOR cursor() const { return cursor_; }
    void setCursor(HCURSOR cursor) { cursor_ = cursor; }  // shown over the window; null: the class arrow
    HWND window() const { return window_; }
    bool hovering() const { return hovering_ != 0; }

protected:
    CustomControlWrapper* wrapper_ = nullptr;  // null until the dialog binds the control
    HCURSOR cursor_ = nullptr;
    HWND window_;
    unsigned char hovering_ = 0;  // inside the window with leave tracking armed

private:
    friend class CustomControlClass;
    bool ownedByWindow_ = false;  // the default handler the window made for itself
};
