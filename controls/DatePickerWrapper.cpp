#include "controls/DatePickerWrapper.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "framework/ControlFactory.h"
#include "framework/TextValue.h"

namespace {

ControlFactory::Registration registration(ClassDateTime, &DatePickerWrapper::create);

const char* const dayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

}  // namespace

std::unique_ptr<ControlWrapper> DatePickerWrapper::create(DialogWindow& owner, HWND control, int id, LONG,
                                                          const ControlDescriptor*)
{
    return std::make_unique<DatePickerWrapper>(&owner, control, id);
}

DatePickerWrapper::DatePickerWrapper(DialogWindow* owner, HWND control, int id) : ControlWrapper(owner, control, id)
{
    GetLocalTime(&date_);
    SendMessageA(hwnd_, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(DisplayFormat));
}

SYSTEMTIME DatePickerWrapper::dateFromText(const char* text, const SYSTEMTIME& base)
{
    SYSTEMTIME d = base;
    if (!text || std::strlen(text) < 10) return d;
    d.wYear = static_cast<WORD>(std::atoi(text));
    d.wMonth = static_cast<WORD>(std::atoi(text + 5));
    d.wDay = static_cast<WORD>(std::atoi(text + 8));
    return d;
}

int DatePickerWrapper::dayOfWeek(int year, int month, int day)
{
    static const int monthOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 1 || month > 12) return -1;
    if (month < 3) --year;
    int n = (year + year / 4 - year / 100 + year / 400 + monthOffset[month - 1] + day) % 7;
    return n < 0 ? n + 7 : n;
}

const char* DatePickerWrapper::dayName(int dayOfWeek)
{
    return dayOfWeek >= 0 && dayOfWeek < 7 ? dayNames[dayOfWeek] : "";
}

void DatePickerWrapper::formatReport(const SYSTEMTIME& date, char* out, std::size_t capacity)
{
    if (!out || capacity == 0) return;
    // The name follows the date itself, whatever day of week the control left in the record.
    int dow = dayOfWeek(date.wYear, date.wMonth, date.wDay);
    if (dow < 0) dow = date.wDayOfWeek;
    std::snprintf(out, capacity, "%04d/%02d/%02d %s", date.wYear, date.wMonth, date.wDay, dayName(dow));
}

void DatePickerWrapper::report()
{
    SYSTEMTIME now{};
    if (SendMessageA(hwnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&now)) == GDT_VALID) date_ = now;
    char text[TextValue::Capacity];
    formatReport(date_, text, sizeof text);
    TextValue value(text);
    reportValue(value, 0);
}

void DatePickerWrapper::setText(const char* text, int)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    date_ = dateFromText(text, now);
    SendMessageA(hwnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date_));
    report();
}

LRESULT DatePickerWrapper::onNotify(NMHDR* header)
{
    if (!header || header->code != static_cast<UINT>(DTN_DATETIMECHANGE)) return 0;
    auto* change = reinterpret_cast<NMDATETIMECHANGE*>(header);
    // A cleared picker (GDT_NONE) carries no date to report.
    if (change->dwFlags != GDT_VALID) return 0;
    const SYSTEMTIME& st = change->st;
    if (st.wYear == date_.wYear && st.wMonth == date_.wMonth && st.wDay == date_.wDay) return 0;
    date_ = st;
    report();
    return 0;
}
