#include "TempFolder.h"
#include <windows.h>
#include <atomic>
#include <cstdio>

namespace {

void removeTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFolder::TempFolder()
{
    static std::atomic<unsigned> serial{0};
    char base[MAX_PATH];
    DWORD n = GetTempPathA(sizeof base, base);
    if (n == 0 || n >= sizeof base) lstrcpyA(base, ".\\");
    char name[64];
    std::snprintf(name, sizeof name, "tavset-%lu-%u-%lu\\", GetCurrentProcessId(), serial++, GetTickCount());
    folder_ = std::string(base) + name;
    CreateDirectoryA(folder_.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    removeTree(folder_);
}
