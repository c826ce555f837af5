#include "settings/NamePattern.h"

namespace {

wchar_t foldUpper(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

NamePattern::NamePattern(const wchar_t* pattern, bool ignoreCase)
    : pattern_(pattern), ignoreCase_(ignoreCase)
{
}

bool NamePattern::Matches(const wchar_t* name) const
{
    if (!pattern_) return true;
    if (!name) name = L"";
    return MatchFrom(pattern_, name);
}

bool NamePattern::MatchFrom(const wchar_t* p, const wchar_t* n) const
{
    for (;;) {
        wchar_t pc = *p;
        if (pc == L'\0') return *n == L'\0';
        if (pc == L'*') {
            while (*p == L'*') ++p;  // a run of stars matches what one star does
            for (const wchar_t* k = n;; ++k) {
                if (MatchFrom(p, k)) return true;
                if (*k == L'\0') return false;
            }
        }
        if (*n == L'\0') return false;
        switch (pc) {
        case L'?':
            ++p;
            break;
        case L'#':
            if (*n < L'0' || *n > L'9') return false;
            ++p;
            break;
        case L'[': {
            const wchar_t* after = nullptr;
            if (MatchSet(p + 1, *n, &after) != SetResult::In) return false;
            p = after;
            break;
        }
        default:
            if (ignoreCase_ ? foldUpper(pc) != foldUpper(*n) : pc != *n) return false;
            ++p;
            break;
        }
        ++n;
    }
}

NamePattern::SetResult NamePattern::MatchSet(const wchar_t* p, wchar_t c, const wchar_t** end)
{
    bool negated = false;
    if (*p == L'!') {
        negated = true;
        ++p;
    }
    bool found = false;
    // The whole set is read even after a hit, so that a malformed one always fails.
    while (*p != L']') {
        if (*p == L'\0') return SetResult::Malformed;  // no closing bracket
        if (p[1] == L'-') {
            wchar_t last = p[2];
            if (last == L']' || last == L'\0') return SetResult::Malformed;  // range without its end
            wchar_t f = foldUpper(c);
            if (f >= foldUpper(p[0]) && f <= foldUpper(last)) found = true;
            p += 3;
        } else {
            if (*p == c) found = true;
            ++p;
        }
    }
    *end = p + 1;
    return found != negated ? SetResult::In : SetResult::Out;
}
