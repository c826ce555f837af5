// One received chunk or program message: a private copy of its bytes and its rendered length in
// each display format, so the pane plans its space without rendering.
#pragma once
#include <cstdint>
#include <memory>

// Stored as an int32 in the settings file.
enum class DisplayFormat : int32_t { Normal = 0, Hex = 1, Mnemonic = 2, AllHex = 3 };

constexpr int32_t kDisplayFormatCount = 4;

// A stored value outside 0..3 (a damaged settings file) reads as Normal.
constexpr DisplayFormat ToDisplayFormat(int32_t value)
{
    return value >= 0 && value < kDisplayFormatCount ? static_cast<DisplayFormat>(value) : DisplayFormat::Normal;
}

// Names of the control codes 0x00..0x1F, as the monitor shows them in Mnemonic format.
extern const char* const MnemonicTable[32];

class CaptureEntry {
public:
    // Copies count bytes; a count of 0 takes bytes as a NUL-terminated text (null: empty).
    CaptureEntry(const void* bytes, int32_t count);
    CaptureEntry(const CaptureEntry&) = delete;
    CaptureEntry& operator=(const CaptureEntry&) = delete;

    int32_t RenderedLength(DisplayFormat format) const;
    // Writes the text in format and a NUL; dest holds RenderedLength(format) + 1 characters.
    char* Render(DisplayFormat format, char* dest) const;

    int32_t Count() const { return count_; }
    const unsigned char* Bytes() const { return bytes_.get(); }

private:
    std::unique_ptr<unsigned char[]> bytes_;
    int32_t count_ = 0;
    int32_t lengths_[kDisplayFormatCount] = {};
};
