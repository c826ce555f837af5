// The window-free parts: NumberValue, date text parsing, day names and the date report text.
#include <gtest/gtest.h>
#include <climits>
#include <cmath>
#include <cstring>
#include "controls/DatePickerWrapper.h"
#include "controls/NumberValue.h"

TEST(NumberValue, AnswersAPositionAsNumberAndText)
{
    NumberValue v(42);
    EXPECT_EQ(v.kind(), 3);
    EXPECT_EQ(v.subKind(), 0);
    EXPECT_EQ(v.asInt(), 42);
    EXPECT_DOUBLE_EQ(v.asReal(), 42.0);
    EXPECT_STREQ(v.text(), "42");
    EXPECT_STREQ(v.wideText(), L"42");

    NumberValue negative(-17);
    EXPECT_EQ(negative.asInt(), -17);
    EXPECT_STREQ(negative.text(), "-17");
    EXPECT_STREQ(negative.wideText(), L"-17");
}

TEST(NumberValue, TruncatesTowardsZeroAndKeepsTheRealNumber)
{
    NumberValue up(7.9), down(-7.9);
    EXPECT_EQ(up.asInt(), 7);
    EXPECT_STREQ(up.text(), "7");
    EXPECT_DOUBLE_EQ(up.asReal(), 7.9);
    EXPECT_EQ(down.asInt(), -7);
    EXPECT_STREQ(down.text(), "-7");
    EXPECT_DOUBLE_EQ(down.asReal(), -7.9);

    // Out of int's range or not a number: defined results instead of undefined conversions.
    EXPECT_EQ(NumberValue::truncate(1e300), INT_MAX);
    EXPECT_EQ(NumberValue::truncate(-1e300), INT_MIN);
    EXPECT_EQ(NumberValue::truncate(std::nan("")), 0);
    NumberValue huge(3e10);
    EXPECT_EQ(huge.asInt(), INT_MAX);
    EXPECT_STREQ(huge.text(), "2147483647");
}

namespace {

SYSTEMTIME base()
{
    SYSTEMTIME t{};
    t.wYear = 2020;
    t.wMonth = 7;
    t.wDay = 9;
    t.wDayOfWeek = 4;
    t.wHour = 13;
    t.wMinute = 14;
    t.wSecond = 15;
    t.wMilliseconds = 16;
    return t;
}

}  // namespace

TEST(DateText, TakesYearMonthAndDayAndKeepsTheRest)
{
    SYSTEMTIME d = DatePickerWrapper::dateFromText("2006/03/14", base());
    EXPECT_EQ(d.wYear, 2006);
    EXPECT_EQ(d.wMonth, 3);
    EXPECT_EQ(d.wDay, 14);
    EXPECT_EQ(d.wHour, 13);
    EXPECT_EQ(d.wMinute, 14);
    EXPECT_EQ(d.wSecond, 15);
    EXPECT_EQ(d.wMilliseconds, 16);

    // The report's own format is accepted back.
    SYSTEMTIME r = DatePickerWrapper::dateFromText("1999/12/31 Friday", base());
    EXPECT_EQ(r.wYear, 1999);
    EXPECT_EQ(r.wMonth, 12);
    EXPECT_EQ(r.wDay, 31);
}

TEST(DateText, ShortOrMissingTextKeepsTheBaseAndNonDigitsGiveZero)
{
    for (const char* text : {"2006/3/14", "", "123456789"}) {
        SYSTEMTIME d = DatePickerWrapper::dateFromText(text, base());
        EXPECT_EQ(d.wYear, 2020) << text;
        EXPECT_EQ(d.wMonth, 7) << text;
        EXPECT_EQ(d.wDay, 9) << text;
    }
    SYSTEMTIME none = DatePickerWrapper::dateFromText(nullptr, base());
    EXPECT_EQ(none.wYear, 2020);

    SYSTEMTIME junk = DatePickerWrapper::dateFromText("abcd/ef/gh", base());
    EXPECT_EQ(junk.wYear, 0);
    EXPECT_EQ(junk.wMonth, 0);
    EXPECT_EQ(junk.wDay, 0);
    EXPECT_EQ(junk.wHour, 13);
}

TEST(DateText, DayNamesAndDaysOfTheWeek)
{
    const char* names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 7; ++i) EXPECT_STREQ(DatePickerWrapper::dayName(i), names[i]);
    EXPECT_STREQ(DatePickerWrapper::dayName(7), "");
    EXPECT_STREQ(DatePickerWrapper::dayName(-1), "");

    EXPECT_EQ(DatePickerWrapper::dayOfWeek(2006, 3, 14), 2);   // Tuesday
    EXPECT_EQ(DatePickerWrapper::dayOfWeek(2000, 2, 29), 2);   // leap day, Tuesday
    EXPECT_EQ(DatePickerWrapper::dayOfWeek(1900, 3, 1), 4);    // 1900 is no leap year: Thursday
    EXPECT_EQ(DatePickerWrapper::dayOfWeek(1601, 1, 1), 1);    // Monday, where system times begin
    EXPECT_EQ(DatePickerWrapper::dayOfWeek(2024, 1, 1), 1);    // Monday
    EXPECT_EQ(DatePickerWrapper::dayOfWeek(2023, 12, 31), 0);  // Sunday
    EXPECT_EQ(DatePickerWrapper::dayOfWeek(2006, 13, 1), -1);
    EXPECT_EQ(DatePickerWrapper::dayOfWeek(2006, 0, 1), -1);
}

TEST(DateText, ReportTextNamesTheDayOfTheDateItself)
{
    SYSTEMTIME d = base();
    d.wYear = 2006;
    d.wMonth = 3;
    d.wDay = 14;
    d.wDayOfWeek = 6;  // stale: left over from another date
    char text[64];
    DatePickerWrapper::formatReport(d, text, sizeof text);
    EXPECT_STREQ(text, "2006/03/14 Tuesday");

    d.wYear = 987;
    d.wMonth = 1;
    d.wDay = 2;
    DatePickerWrapper::formatReport(d, text, sizeof text);
    EXPECT_STREQ(text, "0987/01/02 Tuesday");

    // A short buffer is cut, never overrun.
    char small[8];
    std::memset(small, 'x', sizeof small);
    DatePickerWrapper::formatReport(d, small, 5);
    EXPECT_STREQ(small, "0987");
    EXPECT_EQ(small[5], 'x');
}
