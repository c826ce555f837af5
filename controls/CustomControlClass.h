// The framework's own window class "formcctrl": its registration at start and its window
// procedure, which turns messages into calls on the window's CustomControlHandler.
#pragma once
#include <windows.h>

class CustomControlHandler;

class CustomControlClass {
public:
    static constexpr const char* Name = "formcctrl";
    // CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC | CS_GLOBALCLASS
    static constexpr UINT Style = 0x402B;
    static constexpr int HandlerSlot = 0;  // window extra bytes: the handler pointer
    static constexpr LRESULT DialogCode = DLGC_WANTARROWS | DLGC_WANTCHARS;  // 0x81

    // Registers the class with the module instance; a failure is ignored (the application
    // calls this once at start).
    static void registerClass(HINSTANCE instance);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // The handler of a window of the class, or null.
    static CustomControlHandler* handlerOf(HWND window);

private:
    static void create(HWND window, const CREATESTRUCTA* create);
    static void mouseMove(CustomControlHandler& handler, HWND window, WPARAM wparam, LPARAM lparam);
    // Unlinks the handler from the window and its wrapper; frees it when the window made it.
    static void drop(HWND window, CustomControlHandler& handler, bool callDestroy);
};
