// The system's text for an error code, without trailing white space; a fallback where it has none.
#pragma once
#include <windows.h>
#include "framework/UniqueHandle.h"

class SysErrorText {
public:
    explicit SysErrorText(DWORD code);
    SysErrorText(const SysErrorText&) = delete;
    SysErrorText& operator=(const SysErrorText&) = delete;

    const char* Text() const { return text_; }
    // True when the system supplied the text (false: the fallback "Unknown error 0x%08lX").
    bool FromSystem() const { return static_cast<bool>(buffer_); }

private:
    UniqueLocalMem buffer_;
    const char* text_;
    char fallback_[32];
};
