#include "settings/ProgramPath.h"
#include <windows.h>
#include <cstring>
#include "framework/BoundedCopy.h"

namespace {

// Copies count characters of src into dst (capacity bytes), cut to fit and terminated.
void copyPart(char* dst, std::size_t capacity, const char* src, std::size_t count)
{
    if (count > capacity - 1) count = capacity - 1;
    std::memcpy(dst, src, count);
    dst[count] = '\0';
}

void appendPart(char* dst, std::size_t capacity, const char* part)
{
    std::size_t used = std::strlen(dst);
    boundedCopy(dst + used, capacity - used, part);
}

}  // namespace

ProgramPath::ProgramPath()
{
    result_[0] = drive_[0] = directory_[0] = fileName_[0] = extension_[0] = '\0';
}

ProgramPath::ProgramPath(const char* path, bool full) : ProgramPath()
{
    Split(path, full);
}

void ProgramPath::Split(const char* path, bool full)
{
    char source[260];
    boundedCopy(source, path);
    if (full && source[0]) {
        char absolute[260];
        DWORD n = GetFullPathNameA(source, sizeof absolute, absolute, nullptr);
        if (n > 0 && n < sizeof absolute) boundedCopy(source, absolute);
    }
    result_[0] = drive_[0] = directory_[0] = fileName_[0] = extension_[0] = '\0';

    const char* p = source;
    if (p[0] && p[1] == ':') {
        copyPart(drive_, sizeof drive_, p, 2);
        p += 2;
    }
    const char* lastSlash = nullptr;
    for (const char* q = p; *q; ++q) {
        if (*q == '\\' || *q == '/') lastSlash = q;
    }
    if (lastSlash) {
        copyPart(directory_, sizeof directory_, p, static_cast<std::size_t>(lastSlash + 1 - p));
        p = lastSlash + 1;
    }
    const char* dot = std::strrchr(p, '.');
    std::size_t nameLength = dot ? static_cast<std::size_t>(dot - p) : std::strlen(p);
    copyPart(fileName_, sizeof fileName_, p, nameLength);
    if (dot) boundedCopy(extension_, dot);
}

const char* ProgramPath::Compose(unsigned flags)
{
    result_[0] = '\0';
    if (flags & kDrive) appendPart(result_, sizeof result_, drive_);
    if (flags & kDirectory) appendPart(result_, sizeof result_, directory_);
    if (flags & kFileName) appendPart(result_, sizeof result_, fileName_);
    if (flags & kExtension) appendPart(result_, sizeof result_, extension_);
    return result_;
}

const char* ProgramPath::ProgramFolder(unsigned flags)
{
    // Made on first use and kept for the whole run.
    static ProgramPath program = [] {
        char file[260] = ".";
        DWORD n = GetModuleFileNameA(nullptr, file, sizeof file);
        if (n == 0 || n >= sizeof file) boundedCopy(file, ".");  // failed or cut: "."
        return ProgramPath(file, false);
    }();
    return program.Compose(flags);
}
