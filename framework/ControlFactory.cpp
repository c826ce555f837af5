#include "framework/ControlFactory.h"
#include <vector>
#include "framework/ControlDescriptor.h"
#include "framework/ControlLookup.h"
#include "framework/ControlWrapper.h"
#include "framework/DialogWindow.h"

namespace {

const char* const classNames[ClassKinds] = {
    "null", "button", "edit", "richedit", "static", "SysListView32", "SysDateTimePick32",
    "ComboBox", "ListBox", "msctls_progress32", "msctls_updown32", "clsACCELERATOR",
    "SysTabControl32", "frame", "ToolbarWindow32", "msctls_trackbar32", "SysTreeView32", "formcctrl",
};

struct Entry {
    int classKind;
    ControlFactory::Creator creator;
};

// Filled by static registration objects, so built on first use.
std::vector<Entry>& creators()
{
    static std::vector<Entry> list;
    return list;
}

}  // namespace

void ControlFactory::Register(int classKind, Creator creator)
{
    if (creator) creators().push_back({classKind, creator});
}

int ControlFactory::classKindOfName(const char* name)
{
    if (!name) return ClassUnknown;
    for (int i = 0; i < ClassKinds; ++i) {
        if (lstrcmpiA(name, classNames[i]) == 0) return i;
    }
    return ClassUnknown;
}

const char* ControlFactory::className(int classKind)
{
    return classKind >= 0 && classKind < ClassKinds ? classNames[classKind] : nullptr;
}

int ControlFactory::classKind(HWND window)
{
    char name[80];
    if (GetClassNameA(window, name, sizeof name) <= 0) return ClassUnknown;
    return classKindOfName(name);
}

std::unique_ptr<ControlWrapper> ControlFactory::create(DialogWindow& owner, HWND control, int id,
                                                       const ControlDescriptor* descriptor)
{
    int kind = classKind(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    try {
        for (const Entry& e : creators()) {
            if (e.classKind != kind) continue;
            if (std::unique_ptr<ControlWrapper> w = e.creator(owner, control, id, style, descriptor)) return w;
        }
        return std::make_unique<ControlWrapper>(&owner, control, id);
    } catch (...) {
        return nullptr;  // the control stays unbound; nothing may cross the enumeration callback
    }
}

ControlWrapper* ControlFactory::bind(HWND control, DialogWindow& owner, HWND container)
{
    if (!container) container = owner.hwnd();
    int id = GetDlgCtrlID(control);
    if (!container || GetParent(control) != container) return nullptr;
    if (ControlWrapper* bound = ControlWrapper::fromWindow(control)) return bound;
    const ControlDescriptor* d = owner.findDescriptor(id);
    std::unique_ptr<ControlWrapper> w = create(owner, control, id, d);
    if (!w) {
        SetWindowLongPtrA(control, GWLP_USERDATA, 0);
        return nullptr;
    }
    ControlWrapper* bound = w.release();  // owned through the user-data slot from now on
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bound));
    bound->setRect(rectInParent(control));
    bound->setAnchor(d ? d->anchor() : 0);
    return bound;
}

BOOL CALLBACK ControlFactory::binder(HWND control, LPARAM owner)
{
    auto* window = reinterpret_cast<DialogWindow*>(owner);
    if (window) bind(control, *window);
    return TRUE;
}
