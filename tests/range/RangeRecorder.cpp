#include "tests/range/RangeRecorder.h"
#include "framework/Value.h"
#include "support/Bench.h"

bool RecordingDialog::commandIssued(int id)
{
    reports.push_back(Report{"command", id, 0, 0, 0, 0, {}});
    return true;
}

bool RecordingDialog::valueChanged(int id, const Value& value, int item)
{
    reports.push_back(Report{"value", id, item, value.asInt(), value.kind(), value.asReal(), value.text()});
    return true;
}

bool RecordingDialog::selectionChanged(int id, int position, int code)
{
    reports.push_back(Report{"selection", id, position, code, 0, 0, {}});
    return true;
}

std::vector<Report> RecordingDialog::of(const std::string& what) const
{
    std::vector<Report> out;
    for (const Report& r : reports) {
        if (r.what == what) out.push_back(r);
    }
    return out;
}

void pumpFor(DWORD ms)
{
    bench::pump(ms);
}

void clickAt(HWND control, int x, int y)
{
    LPARAM at = MAKELPARAM(x, y);
    SendMessageA(control, WM_MOUSEMOVE, 0, at);
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(control, WM_LBUTTONUP, 0, at);
}

void pressKey(HWND control, UINT key)
{
    SendMessageA(control, WM_KEYDOWN, key, 1);
    SendMessageA(control, WM_KEYUP, key, 0xC0000001);
}

POINT centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
