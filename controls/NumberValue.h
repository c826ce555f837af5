// A number reported by the range controls (valueChanged); lives on the reporter's stack.
#pragma once
#include "framework/Value.h"

class NumberValue : public Value {
public:
    static constexpr int Kind = 3;
    static constexpr int TextCapacity = 40;

    // The text is the integer position, "%d".
    explicit NumberValue(double number);

    int kind() const override;             // 3
    int subKind() const override;          // 0
    const char* text() const override;
    const wchar_t* wideText() const override;
    double asReal() const override;
    int asInt() const override;            // truncated towards zero

    // Truncation towards zero that stays defined for NaN and values beyond int (saturates).
    static int truncate(double value);

private:
    int kind_ = Kind;
    double number_;
    char text_[TextCapacity];
    wchar_t wide_[TextCapacity];
};
