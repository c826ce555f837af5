// A fresh folder for one test's files, removed with everything in it at the end.
#pragma once
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, with a trailing backslash.
    const std::string& Folder() const { return folder_; }
    // A file name inside the folder.
    std::string File(const char* name) const { return folder_ + name; }

private:
    std::string folder_;
};
