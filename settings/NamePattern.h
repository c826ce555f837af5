// Element-name patterns: ? any one character, * any run, # one digit, [set] and [!set] with
// single characters and first-last ranges; anything else stands for itself.
#pragma once

class NamePattern {
public:
    // A null pattern matches every name. With ignoreCase, plain characters compare with the
    // ASCII letters a to z folded; set members always compare exactly, ranges always folded.
    NamePattern(const wchar_t* pattern, bool ignoreCase);

    // True when the whole name matches the whole pattern.
    bool Matches(const wchar_t* name) const;

private:
    enum class SetResult { In, Out, Malformed };

    bool MatchFrom(const wchar_t* p, const wchar_t* n) const;
    // Tests c against the set that starts after '['; end receives the character after ']'.
    static SetResult MatchSet(const wchar_t* p, wchar_t c, const wchar_t** end);

    const wchar_t* pattern_;
    bool ignoreCase_;
};
