// The HTML Help engine, loaded by the program itself at the first help request: from the
// location the registry gives, else by name. A failure is remembered and never retried.
#pragma once
#include <windows.h>
#include <cstddef>
#include "framework/UniqueHandle.h"

class HelpViewer {
public:
    // The engine's ANSI entry point.
    using EntryPoint = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

    static constexpr const char* kEngineKey = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
    static constexpr const char* kEngineName = "hhctrl.ocx";
    static constexpr int kEntryOrdinal = 14;
    static constexpr std::size_t kPathSize = 260;
    static constexpr UINT kDisplayTopic = 0;  // show the file's default topic
    static constexpr UINT kCloseAll = 0x12;    // close every window the engine opened

    // The system's engine: the class key under HKEY_CLASSES_ROOT, then "hhctrl.ocx".
    HelpViewer();
    // An engine found under root\keyPath (default value), else loaded as libraryName.
    HelpViewer(HKEY root, const char* keyPath, const char* libraryName);
    // Closes the windows the engine opened and leaves it loaded for the process's end: a help
    // window still up would otherwise run code that is gone.
    ~HelpViewer();
    // Asks a loaded engine to close every window it opened for this program.
    void CloseWindows();
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    // Loads the engine on first use and forwards the call; 0 when it cannot be had.
    HWND Call(HWND owner, const char* file, UINT command, DWORD_PTR data);
    // Help > Contents: the program's help file, its default topic, no owner window.
    HWND ShowContents();

    // "tavrenix.chm" in the program's folder.
    static void HelpFilePath(char (&path)[kPathSize]);
    // The one loader of the program.
    static HelpViewer& Program();

    bool Loaded() const { return entry_ != nullptr; }
    bool Failed() const { return failed_; }
    // How often the registry was read and a library load was tried (each at most once per engine).
    int RegistryReads() const { return registryReads_; }
    int LoadAttempts() const { return loadAttempts_; }

private:
    bool Load();
    bool RegisteredPath(char (&path)[kPathSize]);

    HKEY root_;
    char keyPath_[kPathSize];
    char libraryName_[kPathSize];
    UniqueModule library_;
    EntryPoint entry_ = nullptr;
    bool failed_ = false;
    int registryReads_ = 0;
    int loadAttempts_ = 0;
};
