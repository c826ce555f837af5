#include "controls/NumberValue.h"
#include <climits>
#include <cmath>
#include <cstdio>

NumberValue::NumberValue(double number) : number_(number)
{
    int n = truncate(number);
    std::snprintf(text_, sizeof text_, "%d", n);
    // Digits and the sign are ASCII: the UTF-16 text is the same characters widened.
    int i = 0;
    for (; text_[i]; ++i) wide_[i] = static_cast<wchar_t>(text_[i]);
    wide_[i] = L'\0';
}

int NumberValue::kind() const { return kind_; }
int NumberValue::subKind() const { return 0; }
const char* NumberValue::text() const { return text_; }
const wchar_t* NumberValue::wideText() const { return wide_; }
double NumberValue::asReal() const { return number_; }
int NumberValue::asInt() const { return truncate(number_); }

int NumberValue::truncate(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);  // the conversion truncates towards zero
}
