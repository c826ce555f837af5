// Splits a path into drive, directory, file name and extension, and composes chosen parts.
#pragma once

class ProgramPath {
public:
    // Parts chosen by Compose, appended in this order.
    enum : unsigned { kDrive = 1, kDirectory = 2, kFileName = 4, kExtension = 8 };

    ProgramPath();  // all parts empty
    // Splits path (at most 259 characters), made absolute first when full is set.
    ProgramPath(const char* path, bool full);
    void Split(const char* path, bool full);

    // The chosen parts; valid until the next Compose on this object.
    const char* Compose(unsigned flags);

    const char* Drive() const { return drive_; }
    const char* Directory() const { return directory_; }
    const char* FileName() const { return fileName_; }
    const char* Extension() const { return extension_; }

    // Compose (flags) of the program's own file name; kDrive | kDirectory gives its folder
    // with the trailing backslash.
    static const char* ProgramFolder(unsigned flags);

private:
    char result_[260];
    char drive_[3];
    char directory_[256];
    char fileName_[256];
    char extension_[256];
};
