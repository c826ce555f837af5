// The capture pane's text: one time-stamped line per entry in at most 4095 characters, and the
// history that a change of display format renders again. No window calls: the monitor window
// sets the pane control to Text() and writes the line that AddEntry returns to its log.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>
#include "app/CaptureEntry.h"
#include "app/CaptureHistory.h"

class CapturePane {
public:
    static constexpr int32_t kTextSize = 4096;    // pane text with its terminator
    static constexpr int32_t kPrefixLength = 14;  // "hh:mm:ss.mmm: "
    static constexpr int32_t kMessageSize = 1024;

    CapturePane();
    CapturePane(const CapturePane&) = delete;
    CapturePane& operator=(const CapturePane&) = delete;

    // Adds an entry stamped with time and appends its line to the pane text, trimming the text's
    // start to make room. Returns the line for the log: time prefix and text, no line end; the
    // whole line even when the pane can show only its beginning. Valid until the next AddEntry.
    const char* AddEntry(int32_t count, const void* bytes, bool isMessage, const SYSTEMTIME& time);
    // The same, stamped with the current local time.
    const char* AddEntry(int32_t count, const void* bytes, bool isMessage);
    // A program message shown as it is (no printf interpretation).
    const char* AddMessage(const char* text, const SYSTEMTIME& time);
    const char* AddMessage(const char* text);
    // A program message formatted printf-style into 1024 characters.
    const char* ShowMessage(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Selects the format (outside 0..3: Normal) and renders the newest entries that fit again.
    // True when the pane text changed.
    bool SetDisplayFormat(int32_t format);
    DisplayFormat Format() const { return format_; }
    // Empties the pane text; the history stays. True when the text changed.
    bool ClearPane();

    // What changed since MarkShown, for a control that shows the text as it was then: Rebuilt
    // when it must be set whole; else cut its first ShownDropped() characters and append the
    // text from ShownKept() on (its kept characters stand at the front of Text()).
    bool Rebuilt() const { return rebuilt_; }
    int32_t ShownDropped() const { return dropped_ < shownLength_ ? dropped_ : shownLength_; }
    int32_t ShownKept() const { return shownLength_ - ShownDropped(); }
    void MarkShown();

    const char* Text() const { return text_; }
    int32_t Length() const { return length_; }
    const CaptureHistory& History() const { return history_; }

    // Data entries show in the pane's format, messages always in Normal.
    DisplayFormat EffectiveFormat(int32_t index, DisplayFormat format) const;
    // RenderedLength of the effective format + 14.
    int32_t LineSpace(int32_t index, DisplayFormat format) const;
    // Writes the time prefix and the entry's text and a NUL; dest holds LineSpace + 1 characters.
    char* RenderLine(int32_t index, DisplayFormat format, char* dest) const;

private:
    void Append(const char* text, int32_t count);

    char text_[kTextSize];
    int32_t length_ = 0;
    DisplayFormat format_ = DisplayFormat::Normal;
    CaptureHistory history_;
    bool rebuilt_ = true;      // changed other than by cutting the head and appending since MarkShown
    int32_t dropped_ = 0;      // characters cut from the head since MarkShown
    int32_t shownLength_ = 0;  // the length at MarkShown
    std::vector<char> line_;  // the last rendered line; grows to the longest line, then reused
};
