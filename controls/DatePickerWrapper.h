// Wrapper of a date-time picker ("SysDateTimePick32"): shows the date with the day and month
// names, takes a "yyyy/mm/dd" text and reports the chosen date as "yyyy/mm/dd Dayname".
#pragma once
#include <windows.h>
#include <cstddef>
#include <memory>
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class DatePickerWrapper : public ControlWrapper {
public:
    // Day name, month name and day run together, then ", " and the year.
    static constexpr const char* DisplayFormat = "ddddMMMMdd', 'yyy";

    DatePickerWrapper(DialogWindow* owner, HWND control, int id);

    // Sets the date from the text (item ignored) and reports it.
    void setText(const char* text, int item) override;
    // DTN_DATETIMECHANGE: reports a change of the date; the time of day alone is not reported.
    LRESULT onNotify(NMHDR* header) override;

    const SYSTEMTIME& date() const { return date_; }

    // Pure parts, free of window calls.
    // base with year, month and day read from a text of at least 10 characters (the numbers
    // starting at characters 0, 5 and 8); a shorter or null text gives base unchanged.
    static SYSTEMTIME dateFromText(const char* text, const SYSTEMTIME& base);
    // Day of the week (0 Sunday) of a Gregorian date; -1 when the month is not 1..12.
    static int dayOfWeek(int year, int month, int day);
    // "Sunday" .. "Saturday"; the empty text outside 0..6.
    static const char* dayName(int dayOfWeek);
    // "%04d/%02d/%02d %s" with the date's day name into out (capacity characters).
    static void formatReport(const SYSTEMTIME& date, char* out, std::size_t capacity);

    static std::unique_ptr<ControlWrapper> create(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor* descriptor);

private:
    void report();

    SYSTEMTIME date_{};  // the last date reported
};
