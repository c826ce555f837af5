#include <gtest/gtest.h>
#include <string>
#include "controls/SplitCaptions.h"

TEST(SplitCaptions, TabsSeparateItems)
{
    SplitCaptions s = splitCaptions("Name\tValue");
    ASSERT_EQ(s.count(), 2);
    EXPECT_STREQ(s.item(0), "Name");
    EXPECT_STREQ(s.item(1), "Value");
    EXPECT_EQ(s.length(0), 4);
    EXPECT_EQ(s.length(1), 5);
    EXPECT_STREQ(s.item(2), "");
    EXPECT_STREQ(s.item(-1), "");
}

TEST(SplitCaptions, DoubledLeadingAndTrailingTabsAddNoItems)
{
    SplitCaptions s = splitCaptions("\t\tA\t\t\tBc\t\t");
    ASSERT_EQ(s.count(), 2);
    EXPECT_STREQ(s.item(0), "A");
    EXPECT_STREQ(s.item(1), "Bc");
    EXPECT_STREQ(s.item(2), "");

    EXPECT_EQ(splitCaptions("\t\t\t").count(), 0);
    EXPECT_EQ(splitCaptions("").count(), 0);
    EXPECT_EQ(splitCaptions(nullptr).count(), 0);
    EXPECT_STREQ(splitCaptions(nullptr).item(0), "");
}

TEST(SplitCaptions, CommaAndSpaceAreNotSeparators)
{
    SplitCaptions s = splitCaptions("Name, Value");
    ASSERT_EQ(s.count(), 1);
    EXPECT_STREQ(s.item(0), "Name, Value");
    EXPECT_EQ(s.length(0), 11);
}

TEST(SplitCaptions, LongTextIsCutAt998Bytes)
{
    std::string one(1200, 'x');
    SplitCaptions s = splitCaptions(one.c_str());
    ASSERT_EQ(s.count(), 1);
    EXPECT_EQ(s.length(0), 998);

    // Two items: the first's zero counts towards the 998 bytes.
    std::string two = std::string(500, 'a') + "\t" + std::string(700, 'b');
    SplitCaptions t = splitCaptions(two.c_str());
    ASSERT_EQ(t.count(), 2);
    EXPECT_EQ(t.length(0), 500);
    EXPECT_EQ(t.length(1), 998 - 501);
    EXPECT_EQ(std::string(t.item(1)), std::string(497, 'b'));

    // Exactly 998 characters are kept whole; a tab right at the cut starts no item.
    std::string exact = std::string(998, 'c') + "\tdd";
    SplitCaptions u = splitCaptions(exact.c_str());
    ASSERT_EQ(u.count(), 1);
    EXPECT_EQ(u.length(0), 998);
}

TEST(SplitCaptions, ItemCutRightAfterSeparatorZero)
{
    // 997 characters and a tab use 998 bytes: the next item never starts.
    std::string text = std::string(997, 'e') + "\tf";
    SplitCaptions s = splitCaptions(text.c_str());
    ASSERT_EQ(s.count(), 1);
    EXPECT_EQ(s.length(0), 997);
    EXPECT_STREQ(s.item(1), "");
}
