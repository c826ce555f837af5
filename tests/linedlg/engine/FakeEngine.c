/* A stand-in HTML Help engine: records each call of its entry point (ordinal 14 in fakehelp). */
#include <windows.h>
#include <string.h>

static LONG calls;
static HWND lastOwner;
static char lastFile[MAX_PATH];
static UINT lastCommand;
static DWORD_PTR lastData;

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
    /* A recognisable answer, different for every call. */
    return (HWND)(UINT_PTR)(0x7700 + calls);
}

LONG FakeHelpCalls(void) { return calls; }
HWND FakeHelpLastOwner(void) { return lastOwner; }
const char* FakeHelpLastFile(void) { return lastFile; }
UINT FakeHelpLastCommand(void) { return lastCommand; }
DWORD_PTR FakeHelpLastData(void) { return lastData; }
