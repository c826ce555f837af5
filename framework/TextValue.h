// A text value of at most 255 characters, with its UTF-16 copy made on request.
#pragma once
#include "framework/Value.h"

class TextValue : public Value {
public:
    static constexpr int Capacity = 256;  // characters with the terminating zero

    TextValue();
    explicit TextValue(const char* text);  // bounded copy; null gives the empty text

    int kind() const override;             // 4
    int subKind() const override;          // 0
    const char* text() const override;
    const wchar_t* wideText() const override;
    double asReal() const override;        // -1e37 when empty
    int asInt() const override;            // see parseInt

    void assign(const char* text);
    // Buffer of Capacity characters to fill directly (GetWindowTextA and the like).
    char* data() { return text_; }

    // Blank (space, comma, tab, LF, CR only), empty or "auto" in any case give AutoValue;
    // otherwise the decimal conversion of the text.
    static int parseInt(const char* text);
    static double parseReal(const char* text);

private:
    mutable wchar_t wide_[Capacity];
    char text_[Capacity];
};
