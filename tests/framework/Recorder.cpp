#include "tests/framework/Recorder.h"
#include "framework/Application.h"
#include "framework/ControlLookup.h"
#include "framework/Value.h"
#include "support/Bench.h"

int EventLog::count(const std::string& what) const
{
    int n = 0;
    for (const Event& e : events) n += e.what == what;
    return n;
}

const Event* EventLog::last(const std::string& what) const
{
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
        if (it->what == what) return &*it;
    }
    return nullptr;
}

bool RecordingDialog::commandIssued(int id)
{
    log_.add("command", id, 0, 0, name_);
    if (closeOnCommand) close();
    return true;
}

bool RecordingDialog::valueChanged(int id, const Value& value, int item)
{
    log_.add("value", id, item, value.asInt(), value.text());
    return true;
}

bool RecordingDialog::selectionChanged(int id, int position, int code)
{
    log_.add("selection", id, position, code, name_);
    return true;
}

void RecordingDialog::timerTick()
{
    if (recordTicks) log_.add("tick", 0, static_cast<long long>(bench::nowMs()));
}

bool RecordingDialog::closing()
{
    log_.add("closing", 0, 0, 0, name_);
    return true;
}

void RecordingDialog::focusChanged(int id, bool gained)
{
    log_.add("focus", id, gained);
    if (gained && id == unbindOnFocus) std::unique_ptr<ControlWrapper>(ControlWrapper::fromWindow(GetFocus())).reset();
}

void RecordingDialog::userMessage(WPARAM wparam, LPARAM lparam)
{
    log_.add("user", 0, static_cast<long long>(wparam), static_cast<long long>(lparam));
}

void TestWrapper::onCommand(int code, int arg)
{
    log_.add("wrapperCommand", id_, code, arg);
}

LRESULT TestWrapper::onNotify(NMHDR* header)
{
    log_.add("notify", id_, static_cast<int>(header->code));
    return notifyResult;
}

void TestWrapper::onDragLeave()
{
    log_.add("dragLeave", id_);
}

bool TestWrapper::onDragOver(int x, int y, DragData* data)
{
    log_.add("dragOver", id_, x, y, std::to_string(data->data1) + "," + std::to_string(data->data2));
    return acceptDrag;
}

void TestWrapper::onDrop(int x, int y, DragData* data)
{
    log_.add("drop", id_, x, y, std::to_string(data->data1) + "," + std::to_string(data->data2));
}

void TestWrapper::onFocus(bool gained)
{
    log_.add("wrapperFocus", id_, gained);
    ControlWrapper::onFocus(gained);
}


RECT placeOf(Dialog& dialog, int id)
{
    return rectInParent(GetDlgItem(dialog.hwnd(), id));
}
