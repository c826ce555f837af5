// Window-class kinds, the binder and the registration point through which control kinds plug
// in their wrappers. Without a creator that accepts a control it gets the plain ControlWrapper.
#pragma once
#include <windows.h>
#include <memory>

class ControlDescriptor;
class ControlWrapper;
class DialogWindow;

// Index into the class-name table (names compared without regard to case).
enum ControlClass : int {
    ClassUnknown = 0,     // "null", or a name not in the table
    ClassButton = 1,      // "button"
    ClassEdit = 2,        // "edit"
    ClassRichEdit = 3,    // "richedit"
    ClassStatic = 4,      // "static"
    ClassListView = 5,    // "SysListView32"
    ClassDateTime = 6,    // "SysDateTimePick32"
    ClassComboBox = 7,    // "ComboBox"
    ClassListBox = 8,     // "ListBox"
    ClassProgress = 9,    // "msctls_progress32"
    ClassUpDown = 10,     // "msctls_updown32"
    ClassAccelerator = 11,  // "clsACCELERATOR"
    ClassTab = 12,        // "SysTabControl32"
    ClassFrame = 13,      // "frame"
    ClassToolbar = 14,    // "ToolbarWindow32"
    ClassTrackbar = 15,   // "msctls_trackbar32"
    ClassTreeView = 16,   // "SysTreeView32"
    ClassCustom = 17,     // "formcctrl"
    ClassKinds = 18,
};

class ControlFactory {
public:
    // Makes the wrapper of one control, or declines with null. style is the control's window
    // style (button and static types are in its low bits); descriptor is the first one found
    // for id, or null. Creators of one class kind must accept disjoint sets of controls (for
    // buttons: the push-button creator declines group boxes, type 7).
    using Creator = std::unique_ptr<ControlWrapper> (*)(DialogWindow& owner, HWND control, int id,
                                                        LONG style, const ControlDescriptor* descriptor);

    // Adds a creator for a class kind; creators are asked in registration order. Safe during
    // static initialisation.
    static void Register(int classKind, Creator creator);
    // A static object of this type registers a creator from its own source file.
    struct Registration {
        Registration(int classKind, Creator creator) { Register(classKind, creator); }
    };

    // Kind of a window's class; 0 when it cannot be read or is not in the table.
    static int classKind(HWND window);
    static int classKindOfName(const char* className);
    static const char* className(int classKind);  // null outside 0..17

    // The wrapper for one control: the first registered creator that accepts it, else the
    // plain ControlWrapper; null only when allocation fails.
    static std::unique_ptr<ControlWrapper> create(DialogWindow& owner, HWND control, int id,
                                                  const ControlDescriptor* descriptor);
    // Binds one control whose parent is container (the owner's own window when null): creates
    // its wrapper, stores it in the user-data slot, sets its rectangle in the parent and its
    // anchor. Returns the wrapper (owned through the slot), or null when skipped or failed; a
    // control that is bound already keeps its wrapper, which is returned.
    static ControlWrapper* bind(HWND control, DialogWindow& owner, HWND container = nullptr);
    // EnumChildWindows procedure over a dialog window; lparam is the DialogWindow. Continues always.
    static BOOL CALLBACK binder(HWND control, LPARAM owner);
};
