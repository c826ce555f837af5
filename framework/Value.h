// A control value reported to a Dialog (valueChanged); lives on the reporter's stack for the call.
#pragma once
#include <wchar.h>

// The "automatic" number: shown as "Auto", and what blank or "auto" texts parse to.
constexpr int AutoValue = static_cast<int>(0x80000002u);

class Value {
public:
    virtual int kind() const = 0;        // 4 text, 3 number
    virtual int subKind() const = 0;     // the second query: 0
    virtual const char* text() const = 0;
    virtual const wchar_t* wideText() const = 0;
    virtual double asReal() const = 0;
    virtual int asInt() const = 0;

protected:
    Value() = default;
    Value(const Value&) = default;
    Value& operator=(const Value&) = default;
    ~Value() = default;
};
