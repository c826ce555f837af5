#include "tests/grid/GridRecorder.h"
#include <commctrl.h>
#include <utility>
#include "framework/Value.h"
#include "support/Bench.h"

namespace {

int rows(HWND list)
{
    return list ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

}  // namespace

bool GridRecorder::commandIssued(int id)
{
    reports.push_back(Report{"command", id, 0, 0, {}, rows(countRowsOf)});
    return true;
}

bool GridRecorder::valueChanged(int id, const Value& value, int item)
{
    reports.push_back(Report{"value", id, item, 0, value.text(), rows(countRowsOf)});
    if (int grid = std::exchange(advanceGrid, 0)) {  // never nested: a re-entry fails, not overflows the stack
        setInt(grid, static_cast<short>(static_cast<unsigned>(id) >> 16) + 1, -11);
        advanceGrid = grid;
    }
    return acceptValues;
}

bool GridRecorder::selectionChanged(int id, int position, int code)
{
    reports.push_back(Report{"selection", id, position, code, {}, rows(countRowsOf)});
    return true;
}

void GridRecorder::gridScrolled(int id, int value)
{
    reports.push_back(Report{"scrolled", id, value, 0, {}, -1});
}

void GridRecorder::gridRowFocused(int id, int row)
{
    reports.push_back(Report{"rowFocused", id, row, 0, {}, -1});
}

void GridRecorder::focusChanged(int id, bool gained)
{
    reports.push_back(Report{"focus", id, gained ? 1 : 0, 0, {}, -1});
}

int GridRecorder::count(const std::string& what) const
{
    int n = 0;
    for (const Report& r : reports) n += r.what == what;
    return n;
}

const Report* GridRecorder::last(const std::string& what) const
{
    for (auto it = reports.rbegin(); it != reports.rend(); ++it) {
        if (it->what == what) return &*it;
    }
    return nullptr;
}

std::vector<Report> GridRecorder::all(const std::string& what) const
{
    std::vector<Report> out;
    for (const Report& r : reports) {
        if (r.what == what) out.push_back(r);
    }
    return out;
}

void settle(DWORD ms)
{
    bench::pump(ms);
}
