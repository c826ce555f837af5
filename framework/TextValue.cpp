#include "framework/TextValue.h"
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include "framework/BoundedCopy.h"

TextValue::TextValue()
{
    wide_[0] = 0;
    text_[0] = '\0';
}

TextValue::TextValue(const char* text) : TextValue()
{
    assign(text);
}

void TextValue::assign(const char* text)
{
    boundedCopy(text_, text);
}

int TextValue::kind() const { return 4; }
int TextValue::subKind() const { return 0; }
const char* TextValue::text() const { return text_; }

const wchar_t* TextValue::wideText() const
{
    // The text may have been written through data(): convert what it holds now.
    int n = MultiByteToWideChar(CP_ACP, 0, text_, -1, wide_, Capacity);
    if (n <= 0) wide_[0] = 0;
    wide_[Capacity - 1] = 0;
    return wide_;
}

double TextValue::asReal() const { return parseReal(text_); }
int TextValue::asInt() const { return parseInt(text_); }

int TextValue::parseInt(const char* text)
{
    if (!text || !*text) return AutoValue;
    if (text[std::strspn(text, " ,\t\n\r")] == '\0') return AutoValue;
    if (_stricmp(text, "auto") == 0) return AutoValue;
    return std::atoi(text);
}

double TextValue::parseReal(const char* text)
{
    if (!text || !*text) return -1e37;
    return std::strtod(text, nullptr);
}
