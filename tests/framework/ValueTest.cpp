#include <gtest/gtest.h>
#include <string>
#include "framework/TextValue.h"
#include "framework/Value.h"

TEST(Parsing, BlankAndAutoTextsAreTheAutomaticValue)
{
    EXPECT_EQ(TextValue::parseInt(""), AutoValue);
    EXPECT_EQ(TextValue::parseInt(nullptr), AutoValue);
    EXPECT_EQ(TextValue::parseInt(" , "), AutoValue);
    EXPECT_EQ(TextValue::parseInt("\t\r\n,"), AutoValue);
    EXPECT_EQ(TextValue::parseInt("AUTO"), AutoValue);
    EXPECT_EQ(TextValue::parseInt("auto"), AutoValue);
    EXPECT_EQ(TextValue::parseInt("Auto"), AutoValue);
    EXPECT_EQ(static_cast<unsigned>(AutoValue), 0x80000002u);
}

TEST(Parsing, NumbersAreDecimalFromTheStart)
{
    EXPECT_EQ(TextValue::parseInt(" 42"), 42);
    EXPECT_EQ(TextValue::parseInt(",42"), 0);
    EXPECT_EQ(TextValue::parseInt("-17x"), -17);
    EXPECT_EQ(TextValue::parseInt("+8"), 8);
    EXPECT_EQ(TextValue::parseInt(" auto"), 0);  // "auto" only as the whole text
    EXPECT_EQ(TextValue::parseInt("0x10"), 0);
    EXPECT_EQ(TextValue::parseInt("abc"), 0);
}

TEST(Parsing, RealsSkipBlanksAndStopAtTheFirstForeignCharacter)
{
    EXPECT_DOUBLE_EQ(TextValue::parseReal(""), -1e37);
    EXPECT_DOUBLE_EQ(TextValue::parseReal("  2.5kg"), 2.5);
    EXPECT_DOUBLE_EQ(TextValue::parseReal("-1e3"), -1000.0);
    EXPECT_DOUBLE_EQ(TextValue::parseReal("x"), 0.0);
}

TEST(TextValues, KindTextsAndBounds)
{
    TextValue v("12 \xe4");  // a Latin-1 character in the ANSI code page
    const Value& value = v;
    EXPECT_EQ(value.kind(), 4);
    EXPECT_EQ(value.subKind(), 0);
    EXPECT_STREQ(value.text(), "12 \xe4");
    EXPECT_EQ(value.asInt(), 12);
    EXPECT_DOUBLE_EQ(value.asReal(), 12.0);
    const wchar_t* wide = value.wideText();
    EXPECT_EQ(wide[0], L'1');
    EXPECT_EQ(wide[3], 0x00e4);
    EXPECT_EQ(wide[4], 0);

    std::string tooLong(400, 'x');
    TextValue big(tooLong.c_str());
    EXPECT_EQ(std::string(big.text()).size(), 255u);
    EXPECT_EQ(std::wstring(big.wideText()).size(), 255u);

    TextValue empty;
    EXPECT_STREQ(empty.text(), "");
    EXPECT_EQ(empty.asInt(), AutoValue);
    EXPECT_DOUBLE_EQ(empty.asReal(), -1e37);
    EXPECT_EQ(empty.wideText()[0], 0);
    TextValue none(nullptr);
    EXPECT_STREQ(none.text(), "");
}
