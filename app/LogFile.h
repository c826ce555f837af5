// The disk log: pane lines appended to a text file, with write failures noticed rather than lost.
#pragma once
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

class LogFile {
public:
    static constexpr std::size_t kPathSize = 256;
    static constexpr const char* kDefaultName = "rs485log.txt";

    // Empty, or only blanks, commas, tabs, line feeds and carriage returns.
    static bool IsBlankPath(const char* path);
    // The program's folder followed by kDefaultName; the bare name when that does not fit.
    static void DefaultPath(char (&path)[kPathSize]);
    // A chosen name whose extension is blank gets ".txt" (bounded to 255 characters).
    static void WithDefaultExtension(char (&path)[kPathSize]);

    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens for appending in text mode (created when missing); false when it cannot be opened.
    bool Open(const char* path);
    bool IsOpen() const { return file_ != nullptr; }
    // One line and its line end; false once the stream has failed.
    bool WriteLine(const char* line);
    // Writes out what was buffered since the last flush; false when that failed or the file
    // was deleted under it.
    bool FlushIfWritten();
    // Flushes and closes; false when a write, the flush or the close failed.
    bool Close();

private:
    // The open file still has a name on disk (an unanswered query counts as yes).
    bool StillInItsFolder() const;

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    bool unflushed_ = false;
    std::string line_;  // the line being written; grows to the longest, then reused
};
