#include "tests/controls/ControlsBench.h"
#include "framework/Application.h"
#include "framework/Value.h"
#include "support/Bench.h"

bool ReportingDialog::commandIssued(int id)
{
    reports.push_back(Report{"command", id, 0, 0, {}});
    return true;
}

bool ReportingDialog::valueChanged(int id, const Value& value, int item)
{
    reports.push_back(Report{"value", id, item, 0, value.text()});
    return acceptValues;
}

bool ReportingDialog::selectionChanged(int id, int position, int code)
{
    reports.push_back(Report{"selection", id, position, code, {}});
    return true;
}

void ReportingDialog::focusChanged(int id, bool gained)
{
    if (recordFocus) reports.push_back(Report{"focus", id, gained ? 1 : 0, 0, {}});
}

std::vector<Report> ReportingDialog::of(const std::string& what, int id) const
{
    std::vector<Report> out;
    for (const Report& r : reports) {
        if (r.what == what && (id == 0 || r.id == id)) out.push_back(r);
    }
    return out;
}


std::string windowText(HWND window)
{
    std::string text(8192, '\0');
    LRESULT n = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}
