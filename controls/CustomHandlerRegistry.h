// Process-wide table of (control id, factory) pairs asked, in order, for the handler of a
// "formcctrl" window. Filled before dialogs are created; no lock (GUI thread only).
#pragma once
#include <windows.h>

class CustomControlHandler;
class CustomHandlerFactory;

class CustomHandlerRegistry {
public:
    static constexpr int Capacity = 10;

    // Appends an entry. A null factory or an entry beyond the capacity is refused (false) and
    // leaves the table as it was.
    static bool add(int controlId, CustomHandlerFactory* factory);
    static int count();
    // Empties the table (a test or a restart of the dialogs may refill it).
    static void clear();
    // The first non-null handler of the factories registered for controlId, in table order;
    // null when no entry matches or all of them decline.
    static CustomControlHandler* createHandler(int controlId, HWND window, void* createParams);

private:
    struct Entry {
        int controlId;
        CustomHandlerFactory* factory;
    };
    static Entry entries_[Capacity];
    static int count_;
};
