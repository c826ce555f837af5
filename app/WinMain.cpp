// Tavrenix: the monitor window and the message loop that lasts while it is open.
#include <windows.h>
#include "app/MonitorWindow.h"
#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MonitorWindow window;
    // Without a window the loop would wait for a message that never comes.
    if (!window.created()) return 1;
    const bool keepRunning = true;
    Application::get().runLoop(&keepRunning);
    return 0;
}
