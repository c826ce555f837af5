#include "serial/SysErrorText.h"

#include <cstdio>
#include <cstring>

SysErrorText::SysErrorText(DWORD code) : text_(fallback_), fallback_{}
{
    char* msg = nullptr;
    // Inserts are ignored: no arguments are passed, and some system texts carry "%1".
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0x0400, reinterpret_cast<LPSTR>(&msg), 0, nullptr);
    if (msg) buffer_.reset(msg);
    if (n > 0 && msg) {
        while (n > 0 && (msg[n - 1] == ' ' || (msg[n - 1] >= '\t' && msg[n - 1] <= '\r'))) --n;
        msg[n] = '\0';
    }
    if (n > 0 && msg) {
        text_ = msg;
    } else {
        buffer_.reset();
        std::snprintf(fallback_, sizeof fallback_, "Unknown error 0x%08lX", static_cast<unsigned long>(code));
    }
}
