#include "framework/Application.h"
#include <commctrl.h>
#include <vector>
#include "framework/Dialog.h"
#include "framework/DialogWindow.h"

namespace {

// Registrations asked for before the application existed; run by its constructor.
std::vector<Application::ClassRegistrar>& pendingRegistrars()
{
    static std::vector<Application::ClassRegistrar> list;
    return list;
}

Application* constructed = nullptr;

// Made during static initialisation, before the start-up code runs.
Application& startUp = Application::get();

}  // namespace

Application& Application::get()
{
    static Application app;
    return app;
}

Application::Application()
{
    LoadLibraryA("RichEd32.Dll");  // stays loaded; a failure is ignored
    if (HMODULE comctl = GetModuleHandleA("comctl32.dll")) {
        // The parameterless initialisation, exported by ordinal only.
        using InitProc = void(WINAPI*)();
        if (auto init = reinterpret_cast<InitProc>(
                reinterpret_cast<void*>(GetProcAddress(comctl, MAKEINTRESOURCEA(17)))))
            init();
    }
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    instance_ = GetModuleHandleA(nullptr);
    constructed = this;
    for (ClassRegistrar r : pendingRegistrars()) r(instance_);
    pendingRegistrars().clear();
}

void Application::addClassRegistrar(ClassRegistrar registrar)
{
    if (!registrar) return;
    if (constructed)
        registrar(constructed->instance_);
    else
        pendingRegistrars().push_back(registrar);
}

void Application::registerWindow(DialogWindow* window)
{
    registry_.add(window);
}

void Application::unregisterWindow(DialogWindow* window)
{
    registry_.remove(window);
}

void Application::closeOwnedWindows(DialogWindow* owner)
{
    int i = 0;
    while (i < registry_.count()) {
        DialogWindow* w = registry_.at(i);
        if (w->owner() != owner || !w->dialog()) {
            ++i;
            continue;
        }
        w->dialog()->close();
        // A close that did not unregister must not keep this loop on the same entry.
        if (registry_.at(i) == w) ++i;
    }
}

bool Application::offerToDialogs(MSG* message)
{
    for (int i = 0; i < registry_.count(); ++i) {
        DialogWindow* w = registry_.at(i);
        HWND hwnd = w->hwnd();
        if (!hwnd) continue;
        if (w->accelerators() && TranslateAcceleratorA(hwnd, w->accelerators(), message)) return true;
        if (IsDialogMessageA(hwnd, message)) return true;
    }
    return false;
}

BOOL Application::fetchMessage(MSG* message)
{
    return GetMessageA(message, nullptr, 0, 0);
}

Application::LoopEnd Application::runLoop(const bool* flag)
{
    return runLoop(flag, &Application::fetchMessage);
}

Application::LoopEnd Application::runLoop(const bool* flag, MessageSource source)
{
    struct Depth {
        int& d;
        explicit Depth(int& d) : d(++d) {}
        ~Depth() { --d; }
    } depth(loopDepth_);
    MSG message;
    for (;;) {
        BOOL got = source(&message);
        if (got == 0) {
            // A nested loop hands the quit on, so the enclosing loops end as well.
            if (loopDepth_ > 1) PostQuitMessage(static_cast<int>(message.wParam));
            return LoopEnd::Quit;
        }
        // An error fetching (an invalid parameter) would repeat forever: leave the loop.
        if (got == -1) return LoopEnd::Error;
        if (!offerToDialogs(&message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!flag || !*flag) return LoopEnd::FlagDropped;
        if (registry_.count() == 0) return LoopEnd::RegistryEmpty;
    }
}
