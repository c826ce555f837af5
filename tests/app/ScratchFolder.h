// A folder of its own for one test (under the temporary folder), removed with what it holds.
#pragma once
#include <string>

class ScratchFolder {
public:
    explicit ScratchFolder(const char* tag);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Windows path without a trailing backslash.
    const std::string& path() const { return path_; }
    std::string file(const char* name) const { return path_ + "\\" + name; }

    // The whole content of a file (empty when it cannot be read); exists tells whether it could.
    static std::string read(const std::string& file, bool* exists = nullptr);
    static bool write(const std::string& file, const std::string& bytes);

private:
    std::string path_;
};
