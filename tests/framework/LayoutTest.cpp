#include <gtest/gtest.h>
#include "framework/ControlAnchor.h"
#include "framework/ControlWrapper.h"
#include "framework/DialogWindow.h"
#include "tests/framework/Recorder.h"
#include "tests/framework/TestIds.h"

namespace {

const ControlAnchor down(IDC_DOWN, AnchorMoveDown);
const ControlAnchor right(IDC_RIGHT, AnchorMoveRight);
const ControlAnchor tall(IDC_TALL, AnchorGrowHeight);
const ControlAnchor wide(IDC_WIDE, AnchorGrowWidth);
const ControlAnchor all(IDC_ALL, AnchorMoveDown | AnchorMoveRight | AnchorGrowHeight | AnchorGrowWidth);
const ControlAnchor frame(IDC_GROUP, AnchorGrowWidth | AnchorGrowHeight);
const ControlDescriptor* const anchors[] = {&down, &right, &tall, &wide, &all, &frame, nullptr};

const int anchoredIds[] = {IDC_DOWN, IDC_RIGHT, IDC_TALL, IDC_WIDE, IDC_ALL, IDC_GROUP, IDC_FIXED, IDC_TEXT};

struct Layout {
    std::vector<RECT> places;
    explicit Layout(Dialog& d)
    {
        for (int id : anchoredIds) places.push_back(placeOf(d, id));
    }
};

RECT expected(RECT r, int anchor, int dx, int dy)
{
    if (anchor & AnchorMoveDown) {
        r.top += dy;
        r.bottom += dy;
    }
    if (anchor & AnchorMoveRight) {
        r.left += dx;
        r.right += dx;
    }
    if (anchor & AnchorGrowHeight) r.bottom += dy;
    if (anchor & AnchorGrowWidth) r.right += dx;
    return r;
}

SIZE clientSize(HWND hwnd)
{
    RECT r;
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

void resizeBy(HWND hwnd, int dx, int dy)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy, SWP_NOMOVE | SWP_NOZORDER);
}

bool same(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

}  // namespace

TEST(Relayout, GrowingMovesAndGrowsEachControlByItsAnchors)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN, anchors);
    ASSERT_TRUE(d.created());
    Layout before(d);
    SIZE c0 = clientSize(d.hwnd());
    resizeBy(d.hwnd(), 60, 35);
    pumpDialogs(20);
    SIZE c1 = clientSize(d.hwnd());
    int dx = c1.cx - c0.cx, dy = c1.cy - c0.cy;
    ASSERT_GT(dx, 0);
    ASSERT_GT(dy, 0);
    EXPECT_EQ(d.window()->clientWidth(), c1.cx);
    EXPECT_EQ(d.window()->clientHeight(), c1.cy);
    Layout after(d);
    const int flags[] = {AnchorMoveDown, AnchorMoveRight, AnchorGrowHeight, AnchorGrowWidth, 15, 10, 0, 0};
    for (size_t i = 0; i < std::size(anchoredIds); ++i) {
        RECT want = expected(before.places[i], flags[i], dx, dy);
        EXPECT_TRUE(same(after.places[i], want)) << "control " << anchoredIds[i];
        ControlWrapper* w = ControlWrapper::fromWindow(GetDlgItem(d.hwnd(), anchoredIds[i]));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(same(w->rect(), want)) << "stored rectangle of " << anchoredIds[i];
        EXPECT_EQ(w->anchor(), flags[i]);
    }
}

TEST(Relayout, SameSizeMovesNothing)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN, anchors);
    // A control moved by hand stays where it is when the size does not change.
    HWND all = GetDlgItem(d.hwnd(), IDC_ALL);
    SetWindowPos(all, nullptr, 3, 3, 10, 10, SWP_NOZORDER);
    Layout before(d);
    SIZE c = clientSize(d.hwnd());
    SendMessageA(d.hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.cx, c.cy));
    Layout after(d);
    for (size_t i = 0; i < std::size(anchoredIds); ++i) EXPECT_TRUE(same(before.places[i], after.places[i]));
}

TEST(Relayout, MinimiseAndRestoreCancelOut)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN, anchors);
    resizeBy(d.hwnd(), 40, 40);
    pumpDialogs(20);
    Layout before(d);
    SIZE c = clientSize(d.hwnd());
    SendMessageA(d.hwnd(), WM_SIZE, SIZE_MINIMIZED, 0);
    SendMessageA(d.hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.cx, c.cy));
    Layout after(d);
    for (size_t i = 0; i < std::size(anchoredIds); ++i) EXPECT_TRUE(same(before.places[i], after.places[i])) << anchoredIds[i];

    ShowWindow(d.hwnd(), SW_MINIMIZE);
    pumpDialogs(50);
    ShowWindow(d.hwnd(), SW_RESTORE);
    pumpDialogs(50);
    Layout again(d);
    for (size_t i = 0; i < std::size(anchoredIds); ++i) EXPECT_TRUE(same(before.places[i], again.places[i])) << anchoredIds[i];
}

TEST(Relayout, NeverBelowTheCreationSize)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN, anchors);
    RECT w0;
    GetWindowRect(d.hwnd(), &w0);
    EXPECT_EQ(d.window()->minWidth(), w0.right - w0.left);
    EXPECT_EQ(d.window()->minHeight(), w0.bottom - w0.top);
    MINMAXINFO mmi{};
    SendMessageA(d.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, w0.right - w0.left);
    EXPECT_EQ(mmi.ptMinTrackSize.y, w0.bottom - w0.top);

    // Even a size forced below the minimum keeps the controls where the resource put them.
    Layout before(d);
    SIZE c = clientSize(d.hwnd());
    SendMessageA(d.hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.cx - 30, c.cy - 20));
    Layout after(d);
    for (size_t i = 0; i < std::size(anchoredIds); ++i) EXPECT_TRUE(same(before.places[i], after.places[i])) << anchoredIds[i];
    EXPECT_EQ(d.window()->clientWidth(), c.cx);
}
