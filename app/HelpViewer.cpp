#include "app/HelpViewer.h"

#include <cstdio>
#include "framework/BoundedCopy.h"
#include "settings/ProgramPath.h"

HelpViewer::HelpViewer() : HelpViewer(HKEY_CLASSES_ROOT, kEngineKey, kEngineName) {}

HelpViewer::HelpViewer(HKEY root, const char* keyPath, const char* libraryName) : root_(root)
{
    boundedCopy(keyPath_, keyPath);
    boundedCopy(libraryName_, libraryName);
}

HelpViewer::~HelpViewer()
{
    CloseWindows();
    // Unloading could still pull the code from under a window or thread the engine keeps.
    library_.release();
}

void HelpViewer::CloseWindows()
{
    if (entry_) entry_(nullptr, nullptr, kCloseAll, 0);
}

HelpViewer& HelpViewer::Program()
{
    static HelpViewer viewer;
    return viewer;
}

void HelpViewer::HelpFilePath(char (&path)[kPathSize])
{
    std::snprintf(path, kPathSize, "%stavrenix.chm", ProgramPath::ProgramFolder(ProgramPath::kDrive | ProgramPath::kDirectory));
}

HWND HelpViewer::ShowContents()
{
    char path[kPathSize];
    HelpFilePath(path);
    return Call(nullptr, path, kDisplayTopic, 0);
}

HWND HelpViewer::Call(HWND owner, const char* file, UINT command, DWORD_PTR data)
{
    if (!entry_ && !Load()) return nullptr;
    return entry_(owner, file, command, data);
}

bool HelpViewer::RegisteredPath(char (&path)[kPathSize])
{
    ++registryReads_;
    UniqueRegKey key;
    if (RegOpenKeyExA(root_, keyPath_, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    char value[kPathSize] = {};
    DWORD type = 0;
    DWORD size = sizeof value - 1;  // room for a terminator the value may lack
    LONG status = RegQueryValueExA(key.get(), "", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || value[0] == '\0') return false;
    if (type == REG_EXPAND_SZ) {
        // Windows registers the engine as "%SystemRoot%\...": expand before loading.
        DWORD n = ExpandEnvironmentStringsA(value, path, kPathSize);
        return n > 0 && n <= kPathSize;
    }
    boundedCopy(path, value);
    return true;
}

bool HelpViewer::Load()
{
    if (failed_) return false;
    if (!library_) {
        char path[kPathSize];
        if (RegisteredPath(path)) {
            ++loadAttempts_;
            library_.reset(LoadLibraryA(path));
        }
        if (!library_) {
            ++loadAttempts_;
            library_.reset(LoadLibraryA(libraryName_));
        }
        if (!library_) {
            failed_ = true;
            return false;
        }
    }
    entry_ = reinterpret_cast<EntryPoint>(
        reinterpret_cast<void*>(GetProcAddress(library_.get(), MAKEINTRESOURCEA(kEntryOrdinal))));
    if (!entry_) {
        failed_ = true;
        library_.reset();
        return false;
    }
    return true;
}
