/* A stand-in HTML Help engine: records each call of its entry point (ordinal 14 in fakehelp).
   Command 1 opens a (hidden) window whose procedure lives in this library; 0x12 closes them all. */
#include <windows.h>
#include <string.h>

static LONG calls;
static HWND lastOwner;
static char lastFile[MAX_PATH];
static UINT lastCommand;
static DWORD_PTR lastData;

static HWND windows[8];
static int windowCount;

static LRESULT CALLBACK FakeWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

static HWND OpenWindow(void)
{
    WNDCLASSA wc = {0};
    HINSTANCE self = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)FakeWindowProc, &self);
    wc.lpfnWndProc = FakeWindowProc;
    wc.hInstance = self;
    wc.lpszClassName = "FakeHelpWindow";
    RegisterClassA(&wc);
    if (windowCount == 8) return NULL;
    windows[windowCount] = CreateWindowA("FakeHelpWindow", "help", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL, self, NULL);
    return windows[windowCount++];
}

HWND WINAPI FakeHtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data)
{
    calls++;
    lastOwner = owner;
    lastFile[0] = '\0';
    if (file) {
        strncpy(lastFile, file, sizeof lastFile - 1);
        lastFile[sizeof lastFile - 1] = '\0';
    }
    lastCommand = command;
    lastData = data;
    if (command == 1) return OpenWindow();
    if (command == 0x12) {
        while (windowCount > 0) DestroyWindow(windows[--windowCount]);
        return NULL;
    }
    /* A recognisable answer, different for every call. */
    return (HWND)(UINT_PTR)(0x7700 + calls);
}

LONG FakeHelpCalls(void) { return calls; }
HWND FakeHelpLastOwner(void) { return lastOwner; }
const char* FakeHelpLastFile(void) { return lastFile; }
UINT FakeHelpLastCommand(void) { return lastCommand; }
DWORD_PTR FakeHelpLastData(void) { return lastData; }
