#include <gtest/gtest.h>
#include "framework/DialogWindow.h"
#include "tests/framework/Recorder.h"
#include "tests/framework/TestIds.h"

namespace {

LPARAM centreOf(Dialog& d, int id)
{
    RECT r = placeOf(d, id);
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

int cursorCount()
{
    int n = ShowCursor(TRUE);
    ShowCursor(FALSE);
    return n - 1;
}

}  // namespace

TEST(Drag, HoverLeaveAndDropReachTheWrappersUnderTheCursor)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    TestWrapper* accepting = rebind<TestWrapper>(d, IDC_DOWN, log);
    accepting->acceptDrag = true;
    rebind<TestWrapper>(d, IDC_RIGHT, log);
    int cursor = cursorCount();
    SendMessageA(d.hwnd(), WM_MOUSEMOVE, 0, centreOf(d, IDC_DOWN));  // no drag: ignored
    EXPECT_EQ(log.count("dragOver"), 0);

    d.window()->beginDrag(2, 2, 11, 22);
    EXPECT_TRUE(d.window()->dragging());
    EXPECT_EQ(GetCapture(), d.hwnd());
    SendMessageA(d.hwnd(), WM_MOUSEMOVE, 0, centreOf(d, IDC_DOWN));
    SendMessageA(d.hwnd(), WM_MOUSEMOVE, 0, centreOf(d, IDC_DOWN));  // asked again on every move
    ASSERT_EQ(log.count("dragOver"), 2);
    EXPECT_EQ(log.last("dragOver")->id, IDC_DOWN);
    EXPECT_EQ(log.last("dragOver")->text, "11,22");
    SendMessageA(d.hwnd(), WM_MOUSEMOVE, 0, centreOf(d, IDC_RIGHT));
    ASSERT_EQ(log.count("dragLeave"), 1);
    EXPECT_EQ(log.last("dragLeave")->id, IDC_DOWN);
    EXPECT_EQ(log.last("dragOver")->id, IDC_RIGHT);
    SendMessageA(d.hwnd(), WM_MOUSEMOVE, 0, centreOf(d, IDC_DOWN));
    log.clear();
    SendMessageA(d.hwnd(), WM_LBUTTONUP, 0, centreOf(d, IDC_RIGHT));
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0].what, "dragLeave");
    EXPECT_EQ(log.events[0].id, IDC_DOWN);
    EXPECT_EQ(log.events[1].what, "drop");
    EXPECT_EQ(log.events[1].id, IDC_RIGHT);  // dropped although it declined the drag
    EXPECT_EQ(log.events[1].text, "11,22");
    EXPECT_FALSE(d.window()->dragging());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(cursorCount(), cursor);
    SendMessageA(d.hwnd(), WM_LBUTTONUP, 0, centreOf(d, IDC_RIGHT));
    EXPECT_EQ(log.count("drop"), 1);
}

TEST(Drag, LosingTheCaptureCancelsTheDrag)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    rebind<TestWrapper>(d, IDC_DOWN, log)->acceptDrag = true;
    int cursor = cursorCount();
    d.window()->beginDrag(2, 2, 1, 2);
    SendMessageA(d.hwnd(), WM_MOUSEMOVE, 0, centreOf(d, IDC_DOWN));
    ReleaseCapture();
    EXPECT_FALSE(d.window()->dragging());
    EXPECT_EQ(log.count("dragLeave"), 1);
    EXPECT_EQ(log.count("drop"), 0);
    EXPECT_EQ(cursorCount(), cursor);
}
