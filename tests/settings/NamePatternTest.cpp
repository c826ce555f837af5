#include <gtest/gtest.h>
#include "settings/NamePattern.h"

namespace {

bool match(const wchar_t* pattern, const wchar_t* name, bool ignoreCase = true)
{
    return NamePattern(pattern, ignoreCase).Matches(name);
}

}  // namespace

TEST(NamePattern, WildcardsAndDigits)
{
    EXPECT_TRUE(match(L"st?eam#", L"Stream1"));
    EXPECT_FALSE(match(L"st?eam#", L"Stream10"));
    EXPECT_FALSE(match(L"st?eam#", L"Stream"));
    EXPECT_FALSE(match(L"st?eam#", L"StreamX"));
    EXPECT_TRUE(match(L"?", L"x"));
    EXPECT_FALSE(match(L"?", L""));
    EXPECT_FALSE(match(L"?", L"xy"));
    EXPECT_TRUE(match(L"##", L"09"));
    EXPECT_FALSE(match(L"#", L"/"));
    EXPECT_FALSE(match(L"#", L":"));
    EXPECT_TRUE(match(L"", L""));
    EXPECT_FALSE(match(L"", L"a"));
    EXPECT_FALSE(match(L"abc", L"ab"));
}

TEST(NamePattern, StarMatchesAnyRunAlsoNone)
{
    EXPECT_TRUE(match(L"*", L""));
    EXPECT_TRUE(match(L"*", L"anything"));
    EXPECT_TRUE(match(L"a*", L"a"));
    EXPECT_TRUE(match(L"a*c", L"abbbc"));
    EXPECT_TRUE(match(L"a*c", L"ac"));
    EXPECT_FALSE(match(L"a*c", L"abcd"));
    EXPECT_TRUE(match(L"*c*c", L"acbcc"));  // the first c tried is not the one that fits
    EXPECT_TRUE(match(L"**#", L"x7"));
    EXPECT_FALSE(match(L"*#", L"x7y"));
    // Many stars over a long name still finish.
    EXPECT_FALSE(match(L"*a*a*a*a*a*a*b", L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"));
}

TEST(NamePattern, NullPatternMatchesEverything)
{
    EXPECT_TRUE(match(nullptr, L"Stream"));
    EXPECT_TRUE(match(nullptr, L""));
}

TEST(NamePattern, PlainCharactersFoldOnlyWhenAsked)
{
    EXPECT_TRUE(match(L"commdef", L"CommDef"));
    EXPECT_FALSE(match(L"commdef", L"CommDef", false));
    EXPECT_TRUE(match(L"CommDef", L"CommDef", false));
    // Only a to z fold: other characters compare exactly even without case.
    EXPECT_FALSE(match(L"\u00e9", L"\u00c9"));
    EXPECT_FALSE(match(L"[", L"{"));
    EXPECT_FALSE(match(L"@", L"`"));
}

TEST(NamePattern, SetsListCharactersAndRanges)
{
    EXPECT_TRUE(match(L"[abc]x", L"bx"));
    EXPECT_FALSE(match(L"[abc]x", L"dx"));
    EXPECT_TRUE(match(L"[0-9a-f]", L"7"));
    EXPECT_TRUE(match(L"[0-9a-f]", L"e"));
    EXPECT_FALSE(match(L"[0-9a-f]", L"g"));
    EXPECT_FALSE(match(L"[abc]", L""));
    EXPECT_FALSE(match(L"[]", L"a"));  // an empty set holds nothing
    EXPECT_TRUE(match(L"[-a]", L"-"));  // a leading hyphen is a plain member
    EXPECT_TRUE(match(L"x[?*#]y", L"x*y"));  // inside a set these are plain characters
    EXPECT_FALSE(match(L"x[?*#]y", L"xay"));
}

TEST(NamePattern, NegatedSets)
{
    EXPECT_FALSE(match(L"[!abc]", L"a"));
    EXPECT_TRUE(match(L"[!abc]", L"d"));
    EXPECT_FALSE(match(L"[!a-c]*", L"alpha"));
    EXPECT_FALSE(match(L"[!a-c]*", L"Beta"));
    EXPECT_FALSE(match(L"[!a-c]*", L"CHI"));
    EXPECT_TRUE(match(L"[!a-c]*", L"delta"));
    EXPECT_TRUE(match(L"[!a-c]*", L"Zeta"));
    EXPECT_TRUE(match(L"[!a-c]*", L"_x"));
    EXPECT_FALSE(match(L"[!a-c]*", L""));
    EXPECT_TRUE(match(L"[!]", L"q"));  // the negation of the empty set holds everything
}

TEST(NamePattern, RangesFoldCaseButSingleMembersDoNot)
{
    // Ranges compare with a to z folded, in either mode.
    EXPECT_TRUE(match(L"[a-c]", L"B", false));
    EXPECT_TRUE(match(L"[A-C]", L"b", false));
    EXPECT_FALSE(match(L"[a-c]", L"d", false));
    // Single members compare exactly, also in the listing's case-blind mode.
    EXPECT_FALSE(match(L"[s]tream", L"Stream"));
    EXPECT_TRUE(match(L"[S]tream", L"Stream"));
    EXPECT_TRUE(match(L"[S]TREAM", L"Stream"));
}

TEST(NamePattern, MissingRangeEndFailsTheMatch)
{
    EXPECT_FALSE(match(L"[a-]", L"a"));
    EXPECT_FALSE(match(L"[a-]", L"-"));
    EXPECT_FALSE(match(L"x[a-", L"xa"));
    // Even when an earlier member would fit, and behind a star.
    EXPECT_FALSE(match(L"[ab-]", L"a"));
    EXPECT_FALSE(match(L"*[a-]", L"zza"));
    EXPECT_FALSE(match(L"[!a-]", L"z"));
    // A set that is never closed fails as well.
    EXPECT_FALSE(match(L"[abc", L"a"));
    EXPECT_FALSE(match(L"[!abc", L"z"));
}
