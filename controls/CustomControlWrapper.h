// Binds a "formcctrl" control: links its handler to the dialog and forwards the value
// operations to it, so the application drives it like a native control.
#pragma once
#include "framework/ControlWrapper.h"

class ControlDescriptor;
class CustomControlHandler;

class CustomControlWrapper : public ControlWrapper {
public:
    // Links the window's handler both ways and calls its attach with the owner's dialog and
    // the param of a CustomControlParam descriptor (kind 18), else null.
    CustomControlWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);
    ~CustomControlWrapper() override;  // unlinks the handler; it does not own it

    void setInt(int value, int item) override;
    void setReal(double value, int item) override;
    void setText(const char* text, int item) override;
    void enable(bool on, int item) override;
    void show(bool on, int item) override;
    void clear(int item) override;
    void select(int item) override;
    int getLeft(int arg) override;
    void* getExtension(int which) override;

    CustomControlHandler* handler() const { return handler_; }
    // The window let its handler go (it is being destroyed): forward nothing more.
    void handlerGone() { handler_ = nullptr; }

private:
    CustomControlHandler* handler_;
};
