// Trackbars, up-down controls, progress bars and date pickers on a real dialog.
#include <gtest/gtest.h>
#include <memory>
#include "controls/DatePickerWrapper.h"
#include "controls/ProgressRange.h"
#include "controls/ProgressWrapper.h"
#include "controls/TrackbarSetup.h"
#include "controls/TrackbarWrapper.h"
#include "controls/UpDownRange.h"
#include "controls/UpDownWrapper.h"
#include "framework/DialogWindow.h"
#include "framework/ValueTarget.h"
#include "tests/range/RangeIds.h"
#include "tests/range/RangeRecorder.h"

namespace {

const TrackbarSetup liveTrack(IDC_TRACK_LIVE, TrackbarSetup::ReportWhileDragging, 0, 50, 5, 0);
const TrackbarSetup wideTrack(IDC_TRACK_WIDE, 0, -1000, 100000, 1000, 0);
const ProgressRange signedProgress(IDC_PROGRESS_SIGNED, -50, 50, 5, 0);
const UpDownRange wideUpDown(IDC_UPDOWN_WIDE, -100000, 100000, 0);
const ControlDescriptor* const rangeList[] = {&liveTrack, &wideTrack, &signedProgress, &wideUpDown, nullptr};

class RangeControls : public RecordingTest {
protected:
    void SetUp() override
    {
        open(IDD_RANGE, rangeList);
    }
    LRESULT send(int id, UINT message, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(dialog->item(id), message, w, l); }
    int trackPos(int id) { return static_cast<int>(send(id, TBM_GETPOS)); }
    HWND clickUpperArrow(int id)
    {
        HWND ud = dialog->item(id);
        RECT r{};
        GetClientRect(ud, &r);
        clickAt(ud, (r.left + r.right) / 2, r.top + (r.bottom - r.top) / 4);
        return ud;
    }

    // Presses the thumb, moves it right by the steps, and releases it; calls step after each move.
    template <class F>
    void drag(int id, std::initializer_list<int> steps, F step)
    {
        HWND t = dialog->item(id);
        RECT thumb{};
        SendMessageA(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        POINT at = centre(thumb);
        SendMessageA(t, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        for (int dx : steps) {
            SendMessageA(t, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + dx, at.y));
            step();
        }
        SendMessageA(t, WM_LBUTTONUP, 0, MAKELPARAM(at.x + *(steps.end() - 1), at.y));
    }
};

}  // namespace

TEST_F(RangeControls, EachControlGetsItsWrapperAndTheDefaultsAreMadeOnce)
{
    EXPECT_NE(dialog->as<TrackbarWrapper>(IDC_TRACK), nullptr);
    EXPECT_NE(dialog->as<TrackbarWrapper>(IDC_TRACK_LIVE), nullptr);
    EXPECT_NE(dialog->as<UpDownWrapper>(IDC_UPDOWN), nullptr);
    EXPECT_NE(dialog->as<ProgressWrapper>(IDC_PROGRESS), nullptr);
    EXPECT_NE(dialog->as<DatePickerWrapper>(IDC_DATE), nullptr);

    EXPECT_EQ(TrackbarSetup::defaults().id(), 0);
    EXPECT_EQ(TrackbarSetup::defaults().kind(), TrackbarSetup::Kind);
    EXPECT_EQ(UpDownRange::defaults().kind(), UpDownRange::Kind);
    EXPECT_EQ(ProgressRange::defaults().kind(), ProgressRange::Kind);
    EXPECT_EQ(ProgressRange::defaults().anchor(), 0);
}

TEST_F(RangeControls, TrackbarWithoutDescriptorHasTheDefaultRangeTicksAndPage)
{
    EXPECT_EQ(send(IDC_TRACK, TBM_GETRANGEMIN), 0);
    EXPECT_EQ(send(IDC_TRACK, TBM_GETRANGEMAX), 100);
    EXPECT_EQ(send(IDC_TRACK, TBM_GETPAGESIZE), 10);
    EXPECT_EQ(send(IDC_TRACK, TBM_GETNUMTICS), 11);  // 0, 10, ..., 100
    EXPECT_FALSE(dialog->as<TrackbarWrapper>(IDC_TRACK)->reportsWhileDragging());

    EXPECT_EQ(send(IDC_TRACK_LIVE, TBM_GETRANGEMAX), 50);
    EXPECT_EQ(send(IDC_TRACK_LIVE, TBM_GETPAGESIZE), 5);
    EXPECT_EQ(send(IDC_TRACK_LIVE, TBM_GETNUMTICS), 11);  // 0, 5, ..., 50
    EXPECT_TRUE(dialog->as<TrackbarWrapper>(IDC_TRACK_LIVE)->reportsWhileDragging());

    // Ends beyond 16 bits survive.
    EXPECT_EQ(send(IDC_TRACK_WIDE, TBM_GETRANGEMIN), -1000);
    EXPECT_EQ(send(IDC_TRACK_WIDE, TBM_GETRANGEMAX), 100000);
}

TEST_F(RangeControls, DraggingReportsOnlyTheReleasePosition)
{
    dialog->setInt(IDC_TRACK, 10, -1);
    ASSERT_EQ(trackPos(IDC_TRACK), 10);
    int moves = 0;
    drag(IDC_TRACK, {15, 30, 45}, [&] {
        ++moves;
        EXPECT_TRUE(dialog->reports.empty()) << "reported while dragging, move " << moves;
    });
    int released = trackPos(IDC_TRACK);
    EXPECT_GT(released, 10);
    ASSERT_EQ(dialog->reports.size(), 1u);
    const Report& r = dialog->reports[0];
    EXPECT_EQ(r.what, "value");
    EXPECT_EQ(r.id, IDC_TRACK);
    EXPECT_EQ(r.a, -1);
    EXPECT_EQ(r.kind, 3);
    EXPECT_EQ(r.b, released);
    EXPECT_EQ(r.text, std::to_string(released));
}

TEST_F(RangeControls, LiveTrackbarReportsEveryDragStepAndNotTheRelease)
{
    dialog->setInt(IDC_TRACK_LIVE, 5, -1);
    std::vector<int> seen;
    drag(IDC_TRACK_LIVE, {12, 24, 36}, [&] { seen.push_back(trackPos(IDC_TRACK_LIVE)); });
    ASSERT_EQ(dialog->reports.size(), seen.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(dialog->reports[i].id, IDC_TRACK_LIVE);
        EXPECT_EQ(dialog->reports[i].b, seen[i]) << "step " << i;
    }
    EXPECT_GT(seen.back(), seen.front());
    EXPECT_GT(seen.front(), 5);
}

TEST_F(RangeControls, TrackbarKeysReportTheCurrentPositionAndSetSetsIt)
{
    dialog->setInt(IDC_TRACK, 30, -1);
    EXPECT_EQ(trackPos(IDC_TRACK), 30);
    EXPECT_TRUE(dialog->reports.empty());  // setting reports nothing

    pressKey(dialog->item(IDC_TRACK), VK_RIGHT);  // line down, then end of track
    ASSERT_EQ(dialog->reports.size(), 1u);
    EXPECT_EQ(dialog->reports[0].b, 31);
    pressKey(dialog->item(IDC_TRACK), VK_NEXT);  // page down
    ASSERT_EQ(dialog->reports.size(), 2u);
    EXPECT_EQ(dialog->reports[1].b, 41);
    pressKey(dialog->item(IDC_TRACK), VK_END);  // bottom
    ASSERT_EQ(dialog->reports.size(), 3u);
    EXPECT_EQ(dialog->reports[2].b, 100);

    ValueTarget* t = dialog->window()->findTarget(IDC_TRACK);
    ASSERT_NE(t, nullptr);
    t->setReal(55.9, -1);
    EXPECT_EQ(trackPos(IDC_TRACK), 55);
    t->setReal(-3.5, -1);
    EXPECT_EQ(trackPos(IDC_TRACK), 0);  // the control clamps
    t->setInt(250, -1);
    EXPECT_EQ(trackPos(IDC_TRACK), 100);
    EXPECT_EQ(dialog->reports.size(), 3u);

    // Requests from the end of a track on are not reported.
    SendMessageA(dialog->hwnd(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(dialog->item(IDC_TRACK)));
    SendMessageA(dialog->hwnd(), WM_HSCROLL, MAKEWPARAM(9, 0), reinterpret_cast<LPARAM>(dialog->item(IDC_TRACK)));
    EXPECT_EQ(dialog->reports.size(), 3u);
}

TEST_F(RangeControls, ProgressSetRealTruncatesTowardsZero)
{
    ValueTarget* signedBar = dialog->window()->findTarget(IDC_PROGRESS_SIGNED);
    ASSERT_NE(signedBar, nullptr);
    EXPECT_EQ(send(IDC_PROGRESS_SIGNED, PBM_GETRANGE, TRUE), -50);
    EXPECT_EQ(send(IDC_PROGRESS_SIGNED, PBM_GETRANGE, FALSE), 50);
    signedBar->setReal(7.9, -1);
    EXPECT_EQ(send(IDC_PROGRESS_SIGNED, PBM_GETPOS), 7);
    signedBar->setReal(-7.9, -1);
    EXPECT_EQ(send(IDC_PROGRESS_SIGNED, PBM_GETPOS), -7);

    // Without descriptor: 0..100, step 10; setInt is the base behaviour (the window text).
    EXPECT_EQ(send(IDC_PROGRESS, PBM_GETRANGE, TRUE), 0);
    EXPECT_EQ(send(IDC_PROGRESS, PBM_GETRANGE, FALSE), 100);
    send(IDC_PROGRESS, PBM_STEPIT);
    EXPECT_EQ(send(IDC_PROGRESS, PBM_GETPOS), 10);
    dialog->setInt(IDC_PROGRESS, 60, -1);
    EXPECT_EQ(send(IDC_PROGRESS, PBM_GETPOS), 10);
    char text[16] = "";
    GetWindowTextA(dialog->item(IDC_PROGRESS), text, sizeof text);
    EXPECT_STREQ(text, "60");
    dialog->window()->findTarget(IDC_PROGRESS)->setReal(160.2, -1);
    EXPECT_EQ(send(IDC_PROGRESS, PBM_GETPOS), 100);  // clamped by the control
    EXPECT_TRUE(dialog->reports.empty());
}

TEST_F(RangeControls, UpDownReportsOnlyTheThumbPosition)
{
    ValueTarget* t = dialog->window()->findTarget(IDC_UPDOWN);
    ASSERT_NE(t, nullptr);
    int lower = 0, upper = 0;
    send(IDC_UPDOWN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 100);
    t->setReal(42.7, -1);
    EXPECT_EQ(send(IDC_UPDOWN, UDM_GETPOS32), 42);
    EXPECT_TRUE(dialog->reports.empty());

    // A click on the upper arrow: one report of the new position (the end of the click is not one).
    HWND ud = clickUpperArrow(IDC_UPDOWN);
    ASSERT_EQ(dialog->reports.size(), 1u);
    EXPECT_EQ(dialog->reports[0].id, IDC_UPDOWN);
    EXPECT_EQ(dialog->reports[0].a, -1);
    EXPECT_EQ(dialog->reports[0].kind, 3);
    EXPECT_EQ(dialog->reports[0].b, 43);
    EXPECT_EQ(dialog->reports[0].text, "43");

    // Other requests report nothing.
    for (int request : {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_THUMBTRACK, SB_ENDSCROLL})
        SendMessageA(dialog->hwnd(), WM_VSCROLL, MAKEWPARAM(request, 7), reinterpret_cast<LPARAM>(ud));
    EXPECT_EQ(dialog->reports.size(), 1u);

    // setInt is the base behaviour: the position stays.
    dialog->setInt(IDC_UPDOWN, 5, -1);
    EXPECT_EQ(send(IDC_UPDOWN, UDM_GETPOS32), 43);
}

TEST_F(RangeControls, UpDownRangeAndPositionBeyond16Bits)
{
    int lower = 0, upper = 0;
    send(IDC_UPDOWN_WIDE, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(lower, -100000);
    EXPECT_EQ(upper, 100000);
    ValueTarget* t = dialog->window()->findTarget(IDC_UPDOWN_WIDE);
    t->setReal(-1234.9, -1);
    EXPECT_EQ(send(IDC_UPDOWN_WIDE, UDM_GETPOS32), -1234);
    t->setReal(70000, -1);
    EXPECT_EQ(send(IDC_UPDOWN_WIDE, UDM_GETPOS32), 70000);
}

TEST_F(RangeControls, PositionsBeyond16BitsAreReportedWhole)
{
    dialog->setInt(IDC_TRACK_WIDE, 60000, -1);
    drag(IDC_TRACK_WIDE, {10, 20}, [] {});
    int released = trackPos(IDC_TRACK_WIDE);
    EXPECT_GT(released, 60000);
    ASSERT_EQ(dialog->reports.size(), 1u);
    EXPECT_EQ(dialog->reports[0].b, released);

    dialog->window()->findTarget(IDC_UPDOWN_WIDE)->setReal(70000, -1);
    clickUpperArrow(IDC_UPDOWN_WIDE);
    ASSERT_EQ(dialog->reports.size(), 2u);
    EXPECT_EQ(dialog->reports[1].id, IDC_UPDOWN_WIDE);
    EXPECT_EQ(dialog->reports[1].b, 70001);
}

TEST_F(RangeControls, DatePickerShowsItsFormatAndTakesADateText)
{
    HWND picker = dialog->item(IDC_DATE);
    dialog->setText(IDC_DATE, "2006/03/14", -1);
    SYSTEMTIME st{};
    ASSERT_EQ(SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID);
    EXPECT_EQ(st.wYear, 2006);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wDay, 14);
    ASSERT_EQ(dialog->reports.size(), 1u);
    EXPECT_EQ(dialog->reports[0].what, "value");
    EXPECT_EQ(dialog->reports[0].id, IDC_DATE);
    EXPECT_EQ(dialog->reports[0].a, 0);
    EXPECT_EQ(dialog->reports[0].kind, 4);
    EXPECT_EQ(dialog->reports[0].text, "2006/03/14 Tuesday");

    // The display format runs day name, month name and day together.
    char shown[64] = "";
    GetWindowTextA(picker, shown, sizeof shown);
    EXPECT_STREQ(shown, "TuesdayMarch14, 2006");

    // A short text sets today.
    dialog->setText(IDC_DATE, "2006/3/14", 7);
    SYSTEMTIME today{};
    GetLocalTime(&today);
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(st.wYear, today.wYear);
    EXPECT_EQ(st.wMonth, today.wMonth);
    EXPECT_EQ(st.wDay, today.wDay);
    ASSERT_EQ(dialog->reports.size(), 2u);
    char expected[64];
    DatePickerWrapper::formatReport(today, expected, sizeof expected);
    EXPECT_EQ(dialog->reports[1].text, expected);
    EXPECT_EQ(dialog->reports[1].a, 0);

    // An impossible date leaves the control as it was, and the report says what it holds.
    dialog->setText(IDC_DATE, "2006/03/14", -1);
    dialog->setText(IDC_DATE, "2006/13/45", -1);
    ASSERT_EQ(dialog->reports.size(), 4u);
    EXPECT_EQ(dialog->reports[3].text, "2006/03/14 Tuesday");
}

TEST_F(RangeControls, DatePickerReportsDateChangesButNotTimeChanges)
{
    HWND picker = dialog->item(IDC_DATE);
    dialog->setText(IDC_DATE, "2006/03/14", -1);
    dialog->reports.clear();

    // The user steps a field with the arrow keys: each new date is reported once.
    SetFocus(picker);
    pressKey(picker, VK_RIGHT);
    pressKey(picker, VK_RIGHT);
    pressKey(picker, VK_UP);
    SYSTEMTIME st{};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    ASSERT_FALSE(st.wYear == 2006 && st.wMonth == 3 && st.wDay == 14) << "the keys changed nothing";
    ASSERT_EQ(dialog->reports.size(), 1u);
    char expected[64];
    DatePickerWrapper::formatReport(st, expected, sizeof expected);
    EXPECT_EQ(dialog->reports[0].text, expected);
    EXPECT_EQ(dialog->reports[0].a, 0);

    // A change of the time of day alone is not reported.
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = IDC_DATE;
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = st;
    change.st.wHour = static_cast<WORD>((st.wHour + 5) % 24);
    change.st.wMinute = static_cast<WORD>((st.wMinute + 7) % 60);
    SendMessageA(dialog->hwnd(), WM_NOTIFY, IDC_DATE, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(dialog->reports.size(), 1u);

    // A cleared picker has no date to report.
    change.st.wDay = static_cast<WORD>(st.wDay == 1 ? 2 : 1);
    change.dwFlags = GDT_NONE;
    SendMessageA(dialog->hwnd(), WM_NOTIFY, IDC_DATE, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(dialog->reports.size(), 1u);

    // Another day is; the report reads the date from the control.
    change.dwFlags = GDT_VALID;
    SendMessageA(dialog->hwnd(), WM_NOTIFY, IDC_DATE, reinterpret_cast<LPARAM>(&change));
    ASSERT_EQ(dialog->reports.size(), 2u);
    EXPECT_EQ(dialog->reports[1].text, expected);
    EXPECT_EQ(dialog->as<DatePickerWrapper>(IDC_DATE)->date().wDay, st.wDay);
}
