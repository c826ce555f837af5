// Makes the handler of a "formcctrl" window for the control ids it is registered for.
#pragma once
#include <windows.h>

class CustomControlHandler;

class CustomHandlerFactory {
public:
    // A new handler for the window being created, or null to leave it to the next factory.
    virtual CustomControlHandler* create(int controlId, HWND window, void* createParams) = 0;

protected:
    CustomHandlerFactory() = default;
    CustomHandlerFactory(const CustomHandlerFactory&) = default;
    CustomHandlerFactory& operator=(const CustomHandlerFactory&) = default;
    ~CustomHandlerFactory() = default;  // never deleted through this interface
};
