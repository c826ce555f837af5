// The one application object: module instance, common-control set-up, the registry of open
// dialogs and the message loop.
#pragma once
#include <windows.h>
#include "framework/WindowRegistry.h"

class DialogWindow;

class Application {
public:
    // Why runLoop returned.
    enum class LoopEnd { Quit, FlagDropped, RegistryEmpty, Error };
    // Fetches the next message as GetMessageA does: >0 message, 0 WM_QUIT, -1 error.
    using MessageSource = BOOL (*)(MSG* message);
    // Registers a window class with the module instance (the "formcctrl" class plugs in here).
    using ClassRegistrar = void (*)(HINSTANCE instance);

    // The single object, made during static initialisation before start-up code runs.
    static Application& get();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs a class registration once the common controls are set up: at construction, or at
    // once when the application already exists. Safe during static initialisation.
    static void addClassRegistrar(ClassRegistrar registrar);

    HINSTANCE instance() const { return instance_; }

    void registerWindow(DialogWindow* window);
    void unregisterWindow(DialogWindow* window);
    bool isRegistered(const DialogWindow* window) const { return registry_.contains(window); }
    const WindowRegistry& registry() const { return registry_; }

    // Closes, through their Dialog::close, all registered windows owned by owner.
    void closeOwnedWindows(DialogWindow* owner);
    // Offers a message to each registered window's accelerators, then dialog navigation.
    bool offerToDialogs(MSG* message);
    // The message loop: returns on WM_QUIT (a nested loop posts it again for the enclosing
    // ones), on a fetch error, or after a message when *flag is
    // false or no window is registered (so it handles at least one message).
    LoopEnd runLoop(const bool* flag);
    LoopEnd runLoop(const bool* flag, MessageSource source);

private:
    Application();
    static BOOL fetchMessage(MSG* message);

    HINSTANCE instance_ = nullptr;
    WindowRegistry registry_;
    int loopDepth_ = 0;  // loops running now (a modal run nests one)
};
