#include "app/CaptureEntry.h"

#include <cstring>

const char* const MnemonicTable[32] = {
    "NUL", "SOH", "SIX", "EIX", "EOI", "ENQ", "ACK", "BEL",  //
    "BS",  "HI",  "LF",  "VI",  "FF",  "CR",  "SO",  "SI",   //
    "SLE", "CS1", "DC2", "DC3", "DC4", "NAK", "SYN", "EIB",  //
    "CAN", "EM",  "SLB", "ESC", "FS",  "GS",  "RS",  "US",
};

namespace {

bool isControl(unsigned char b) { return b < 0x20; }

int32_t index(DisplayFormat f)
{
    int32_t i = static_cast<int32_t>(f);
    return i >= 0 && i < kDisplayFormatCount ? i : 0;
}

}  // namespace

CaptureEntry::CaptureEntry(const void* bytes, int32_t count)
{
    const auto* src = static_cast<const unsigned char*>(bytes);
    if (!src || count < 0) count = 0;
    else if (count == 0) count = int32_t(std::strlen(static_cast<const char*>(bytes)));
    count_ = count;
    if (count > 0) {
        bytes_.reset(new unsigned char[size_t(count)]);
        std::memcpy(bytes_.get(), src, size_t(count));
    }
    int32_t hex = 0, mnemonic = 0;
    for (int32_t i = 0; i < count; ++i) {
        unsigned char b = src[i];
        if (isControl(b)) {
            hex += 6;
            mnemonic += int32_t(std::strlen(MnemonicTable[b])) + 2;
        } else {
            hex += 1;
            mnemonic += 1;
        }
    }
    lengths_[0] = count;
    lengths_[1] = hex;
    lengths_[2] = mnemonic;
    lengths_[3] = 2 * count;
}

int32_t CaptureEntry::RenderedLength(DisplayFormat format) const { return lengths_[index(format)]; }

char* CaptureEntry::Render(DisplayFormat format, char* dest) const
{
    static const char lower[] = "0123456789abcdef";
    static const char upper[] = "0123456789ABCDEF";
    char* out = dest;
    const unsigned char* b = bytes_.get();
    DisplayFormat f = static_cast<DisplayFormat>(index(format));
    for (int32_t i = 0; i < count_; ++i) {
        unsigned char c = b[i];
        switch (f) {
        case DisplayFormat::Normal:
            *out++ = (c == 0x00 || c == 0x09) ? '.' : char(c);
            break;
        case DisplayFormat::Hex:
            if (isControl(c)) {
                *out++ = '{';
                *out++ = '0';
                *out++ = 'x';
                *out++ = lower[c >> 4];
                *out++ = lower[c & 15];
                *out++ = '}';
            } else {
                *out++ = char(c);
            }
            break;
        case DisplayFormat::Mnemonic:
            if (isControl(c)) {
                *out++ = '{';
                for (const char* n = MnemonicTable[c]; *n; ++n) *out++ = *n;
                *out++ = '}';
            } else {
                *out++ = char(c);
            }
            break;
        case DisplayFormat::AllHex:
            *out++ = upper[c >> 4];
            *out++ = upper[c & 15];
            break;
        }
    }
    *out = '\0';
    return dest;
}
