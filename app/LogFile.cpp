#include "app/LogFile.h"

#include <windows.h>
#include <io.h>
#include <cstring>
#include "framework/BoundedCopy.h"
#include "settings/ProgramPath.h"

bool LogFile::IsBlankPath(const char* path)
{
    return !path || path[std::strspn(path, " ,\t\n\r")] == '\0';
}

void LogFile::DefaultPath(char (&path)[kPathSize])
{
    const char* folder = ProgramPath::ProgramFolder(ProgramPath::kDrive | ProgramPath::kDirectory);
    // A cut name would be some other file: fall back to the bare name in the current folder.
    if (std::strlen(folder) + std::strlen(kDefaultName) >= kPathSize) {
        boundedCopy(path, kDefaultName);
        return;
    }
    boundedCopy(path, folder);
    std::strcat(path, kDefaultName);
}

void LogFile::WithDefaultExtension(char (&path)[kPathSize])
{
    ProgramPath parts(path, false);
    if (!IsBlankPath(parts.Compose(ProgramPath::kExtension))) return;
    boundedCopy(path, parts.Compose(ProgramPath::kDrive | ProgramPath::kDirectory | ProgramPath::kFileName));
    std::size_t used = std::strlen(path);
    boundedCopy(path + used, kPathSize - used, ".txt");
}

bool LogFile::Open(const char* path)
{
    Close();
    if (IsBlankPath(path)) return false;
    // Text mode: each line feed is stored as carriage return and line feed.
    file_.reset(std::fopen(path, "at"));
    unflushed_ = false;
    return file_ != nullptr;
}

bool LogFile::WriteLine(const char* line)
{
    if (!file_) return false;
    unflushed_ = true;
    // One write of the line with its line end: MinGW's printf family and a lone line feed
    // both write through at once under some runtimes, defeating the buffer.
    line_.assign(line ? line : "");
    line_ += '\n';
    return std::fwrite(line_.data(), 1, line_.size(), file_.get()) == line_.size() && !std::ferror(file_.get());
}

bool LogFile::FlushIfWritten()
{
    if (!file_) return false;
    if (!unflushed_) return !std::ferror(file_.get());
    unflushed_ = false;
    // A full device can leave fflush returning 0 with only the error flag set.
    return std::fflush(file_.get()) == 0 && !std::ferror(file_.get()) && StillInItsFolder();
}

bool LogFile::StillInItsFolder() const
{
    // Where an open file can be deleted (Wine, on a Unix file system) the writes still succeed,
    // into a file nobody can open again: that is a failed log too.
    BY_HANDLE_FILE_INFORMATION info;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_.get())));
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return true;
    return info.nNumberOfLinks > 0;
}

bool LogFile::Close()
{
    if (!file_) return true;
    bool ok = std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
    ok = std::fclose(file_.release()) == 0 && ok;
    unflushed_ = false;
    return ok;
}
