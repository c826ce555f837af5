// The program's resources as Windows loads them: dialog templates, the menu, the icons, the version.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/UniqueHandle.h"
#include "TavVersion.h"
#include "resources/resource.h"

namespace {

// ---- dialog templates (classic and extended) -------------------------------------------------

struct TemplateItem {
    DWORD style = 0;
    int id = 0;
    std::string cls;
    std::string text;
    int iconId = 0;   // text given as a resource ordinal
    short x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int menuId = 0;
    std::string title;
    int pointSize = 0;
    std::string font;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : p_(data) {}
    WORD word() { WORD w; std::memcpy(&w, p_, 2); p_ += 2; return w; }
    DWORD dword() { DWORD d; std::memcpy(&d, p_, 4); p_ += 4; return d; }
    short coord() { return static_cast<short>(word()); }
    std::string sz() {
        std::string s;
        for (WORD c = word(); c != 0; c = word()) s += static_cast<char>(c < 0x80 ? c : '?');
        return s;
    }
    // A string or an ordinal (0xFFFF, value); returns the ordinal or -1 for a string.
    int nameOrOrdinal(std::string& text) {
        WORD first;
        std::memcpy(&first, p_, 2);
        if (first == 0xFFFF) { word(); return word(); }
        text = sz();
        return -1;
    }
    void alignDword(const BYTE* base) {
        while ((p_ - base) % 4 != 0) ++p_;
    }
    void skip(size_t n) { p_ += n; }

private:
    const BYTE* p_;
};

std::string predefinedClass(int atom) {
    switch (atom) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "#" + std::to_string(atom);
    }
}

DialogTemplate loadTemplate(int id) {
    DialogTemplate t;
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!res) return t;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
    TemplateReader r(base);
    bool extended = false;
    {
        WORD ver, sig;
        std::memcpy(&ver, base, 2);
        std::memcpy(&sig, base + 2, 2);
        extended = ver == 1 && sig == 0xFFFF;
    }
    if (extended) {
        r.dword();      // version and signature
        r.dword();      // help id
        r.dword();      // extended style
        t.style = r.dword();
    } else {
        t.style = r.dword();
        r.dword();      // extended style
    }
    int count = r.word();
    t.x = r.coord(); t.y = r.coord(); t.cx = r.coord(); t.cy = r.coord();
    std::string menuName, className;
    int menu = r.nameOrOrdinal(menuName);
    t.menuId = menu > 0 ? menu : 0;
    r.nameOrOrdinal(className);
    t.title = r.sz();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.word();
        if (extended) { r.word(); r.word(); }   // weight, italic and charset
        t.font = r.sz();
    }
    for (int i = 0; i < count; ++i) {
        r.alignDword(base);
        TemplateItem item;
        if (extended) {
            r.dword();  // help id
            r.dword();  // extended style
            item.style = r.dword();
        } else {
            item.style = r.dword();
            r.dword();
        }
        item.x = r.coord(); item.y = r.coord(); item.cx = r.coord(); item.cy = r.coord();
        item.id = extended ? static_cast<int>(r.dword()) : static_cast<short>(r.word());
        int atom = r.nameOrOrdinal(item.cls);
        if (atom >= 0) item.cls = predefinedClass(atom);
        int ordinal = r.nameOrOrdinal(item.text);
        if (ordinal >= 0) item.iconId = ordinal;
        r.skip(r.word());   // creation data
        t.items.push_back(item);
    }
    return t;
}

struct Expected {
    int id;
    const char* cls;
    DWORD typeMask, type;     // the control's kind, e.g. BS_TYPEMASK and BS_AUTOCHECKBOX
    DWORD mustHave, mustNot;  // further style bits
    short x, y, cx, cy;
    const char* text;         // null for an icon given by id
    int iconId;
};

void expectItems(const DialogTemplate& t, const std::vector<Expected>& want) {
    ASSERT_EQ(t.items.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        const TemplateItem& got = t.items[i];
        const Expected& w = want[i];
        SCOPED_TRACE("item " + std::to_string(i) + " id " + std::to_string(w.id));
        EXPECT_EQ(got.id, w.id);
        EXPECT_EQ(_stricmp(got.cls.c_str(), w.cls), 0) << got.cls;
        EXPECT_EQ(got.style & w.typeMask, w.type);
        EXPECT_EQ(got.style & w.mustHave, w.mustHave);
        EXPECT_EQ(got.style & w.mustNot, 0u);
        EXPECT_EQ(got.style & WS_CHILD, static_cast<DWORD>(WS_CHILD));
        EXPECT_EQ(got.x, w.x);
        EXPECT_EQ(got.y, w.y);
        EXPECT_EQ(got.cx, w.cx);
        EXPECT_EQ(got.cy, w.cy);
        if (w.text) {
            EXPECT_EQ(got.text, w.text);
        } else {
            EXPECT_EQ(got.iconId, w.iconId);
        }
    }
}

const DWORD kBtn = BS_TYPEMASK;
const DWORD kStatic = SS_TYPEMASK;
const DWORD kCombo = 3;   // CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST
const DWORD kEditNone = 0;

TEST(DialogTemplates, MonitorWindowLayout) {
    DialogTemplate t = loadTemplate(IDD_MONITOR);
    EXPECT_EQ(t.title, "Olventa Software Tavrenix V1.2");
    EXPECT_EQ(t.font, "MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.cx, 354);
    EXPECT_EQ(t.cy, 256);
    EXPECT_EQ(t.menuId, IDR_MONITOR_MENU);
    const DWORD frame = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    EXPECT_EQ(t.style & frame, frame);
    EXPECT_EQ(t.style & WS_POPUP, 0u);
    expectItems(t, {
        {IDCANCEL, "Button", kBtn, BS_PUSHBUTTON, 0, WS_VISIBLE, 109, 7, 50, 14, "Cancel", 0},
        {IDC_PANE, "Edit", kEditNone, 0, WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | ES_AUTOHSCROLL,
         ES_READONLY | WS_HSCROLL, 7, 64, 340, 185, "", 0},
        {IDC_PORT_TEXT, "Static", kStatic, SS_LEFT, WS_VISIBLE | SS_SUNKEN, 0, 94, 11, 224, 8, "--", 0},
        {IDC_PORT_EDIT, "Button", kBtn, BS_PUSHBUTTON, WS_VISIBLE | BS_ICON | WS_TABSTOP, 0, 325, 11, 18, 8, "...", 0},
        {IDC_LOG_CHECK, "Button", kBtn, BS_AUTOCHECKBOX, WS_VISIBLE | BS_LEFTTEXT | WS_TABSTOP, 0, 42, 25, 47, 8,
         "Log to Disk", 0},
        {IDC_LOG_SELECT, "Button", kBtn, BS_PUSHBUTTON, WS_VISIBLE | BS_ICON | WS_TABSTOP, 0, 325, 25, 18, 8, "...", 0},
        {IDC_FRAME, "Button", kBtn, BS_GROUPBOX, WS_VISIBLE, 0, 7, 0, 340, 40, "", 0},
        {IDC_COMM_CHECK, "Button", kBtn, BS_AUTOCHECKBOX, WS_VISIBLE | BS_LEFTTEXT | WS_TABSTOP, 0, 42, 11, 47, 8,
         "Comm Port", 0},
        {IDC_INDICATOR, "Static", kStatic, SS_ICON, WS_VISIBLE, 0, 15, 12, 20, 20, nullptr, IDI_LAMP_OFF},
        {IDC_LOG_PATH, "Edit", kEditNone, 0, WS_VISIBLE | ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE, 94, 23, 225, 12,
         "", 0},
        {IDC_SEND_TEXT, "Edit", kEditNone, 0, WS_VISIBLE | ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE, 7, 44, 300, 14,
         "", 0},
        {IDC_SEND, "Button", kBtn, BS_PUSHBUTTON, WS_VISIBLE | WS_TABSTOP, 0, 310, 44, 37, 14, "Send", 0},
    });
}

TEST(DialogTemplates, LineSettingsLayout) {
    DialogTemplate t = loadTemplate(IDD_LINE_SETTINGS);
    EXPECT_EQ(t.title, "Serial Communications Settings");
    EXPECT_EQ(t.font, "MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.cx, 210);
    EXPECT_EQ(t.cy, 137);
    EXPECT_EQ(t.menuId, 0);
    const DWORD frame = WS_VISIBLE | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(t.style & frame, frame);
    const DWORD shown = WS_VISIBLE;
    const DWORD list = WS_VISIBLE | WS_VSCROLL | WS_TABSTOP;
    expectItems(t, {
        {IDOK, "Button", kBtn, BS_DEFPUSHBUTTON, shown, 0, 153, 7, 50, 14, "OK", 0},
        {IDCANCEL, "Button", kBtn, BS_PUSHBUTTON, shown, 0, 153, 24, 50, 14, "Cancel", 0},
        {IDC_STATIC, "Static", kStatic, SS_RIGHT, shown, 0, 7, 18, 52, 8, "Comm Port", 0},
        {IDC_LS_PORT, "ComboBox", kCombo, CBS_DROPDOWN, list, 0, 63, 16, 61, 104, "", 0},
        {IDC_STATIC, "Static", kStatic, SS_RIGHT, shown, 0, 7, 33, 52, 8, "Baud Rate", 0},
        {IDC_LS_BAUD, "ComboBox", kCombo, CBS_DROPDOWN, list, 0, 63, 31, 61, 91, "", 0},
        {IDC_STATIC, "Static", kStatic, SS_RIGHT, shown, 0, 7, 63, 52, 8, "Parity", 0},
        {IDC_LS_PARITY, "ComboBox", kCombo, CBS_DROPDOWNLIST, list, 0, 63, 61, 61, 91, "", 0},
        {IDC_STATIC, "Static", kStatic, SS_RIGHT, shown, 0, 7, 78, 52, 8, "Stop Bits", 0},
        {IDC_LS_STOP_BITS, "ComboBox", kCombo, CBS_DROPDOWNLIST, list, 0, 63, 76, 61, 91, "", 0},
        {IDC_STATIC, "Static", kStatic, SS_RIGHT, shown, 0, 7, 48, 52, 8, "Data Bits", 0},
        {IDC_LS_DATA_BITS, "ComboBox", kCombo, CBS_DROPDOWNLIST, list, 0, 63, 46, 61, 91, "", 0},
        {IDC_STATIC, "Static", kStatic, SS_RIGHT, shown, 0, 19, 101, 60, 8, "Receive Time-Out ", 0},
        {IDC_LS_TIMEOUT, "Edit", kEditNone, 0, shown | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP,
         ES_MULTILINE, 83, 99, 40, 12, "", 0},
        {IDC_STATIC, "Static", kStatic, SS_LEFT, shown, 0, 126, 101, 8, 8, " ", 0},
        {IDC_STATIC, "Static", kStatic, SS_LEFT, shown, 0, 127, 101, 10, 8, "ms", 0},
    });
}

TEST(DialogTemplates, AboutBoxLayout) {
    DialogTemplate t = loadTemplate(IDD_ABOUT);
    EXPECT_EQ(t.title, "About Tavrenix");
    EXPECT_EQ(t.font, "MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.cx, 211);
    EXPECT_EQ(t.cy, 84);
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(t.style & frame, frame);
    EXPECT_EQ(t.style & WS_THICKFRAME, 0u);   // a fixed frame
    ASSERT_EQ(t.items.size(), 6u);
    const std::string maker = t.items[3].text;
    expectItems(t, {
        {IDCANCEL, "Button", kBtn, BS_PUSHBUTTON, WS_VISIBLE | WS_TABSTOP, 0, 154, 63, 50, 14, "Close", 0},
        {IDC_STATIC, "Static", kStatic, SS_ICON, WS_VISIBLE, 0, 11, 57, 20, 20, nullptr, IDI_ABOUT_MARK},
        {IDC_STATIC, "Static", kStatic, SS_LEFT, WS_VISIBLE, 0, 53, 7, 151, 27,
         "Tavrenix Ver 1.2 \nUtility to monitor RS485 Communications", 0},
        {IDC_STATIC, "Static", kStatic, SS_LEFT, WS_VISIBLE, 0, 35, 58, 107, 18, maker.c_str(), 0},
        {IDC_STATIC, "Static", kStatic, SS_LEFT, WS_VISIBLE, 0, 12, 48, 82, 9, "Developed by:", 0},
        {IDC_STATIC, "Static", kStatic, SS_ICON, WS_VISIBLE, 0, 8, 9, 20, 20, nullptr, IDI_APP},
    });
    // the maker's line: two lines, the name and a web address of the example domain
    size_t nl = maker.find('\n');
    ASSERT_NE(nl, std::string::npos);
    EXPECT_NE(maker.substr(0, nl).find("Olventa Software"), std::string::npos);
    EXPECT_NE(maker.substr(nl + 1).find("example.com"), std::string::npos);
}

// ---- the dialogs as real windows ----------------------------------------------------------------

INT_PTR CALLBACK plainDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

// Destroys the window when the test ends.
struct WindowOwner {
    HWND hwnd;
    WindowOwner(const WindowOwner&) = delete;
    WindowOwner& operator=(const WindowOwner&) = delete;
    ~WindowOwner() {
        if (hwnd) DestroyWindow(hwnd);
    }
};

// Destroys a loaded menu when the test ends.
struct MenuOwner {
    HMENU menu;
    MenuOwner(const MenuOwner&) = delete;
    MenuOwner& operator=(const MenuOwner&) = delete;
    ~MenuOwner() {
        if (menu) DestroyMenu(menu);
    }
};

std::string className(HWND w) {
    char buf[80] = {};
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

TEST(DialogWindows, EveryDialogCreatesItsControlsInTemplateOrder) {
    for (int id : {IDD_MONITOR, IDD_LINE_SETTINGS, IDD_ABOUT}) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        DialogTemplate t = loadTemplate(id);
        WindowOwner dlg{CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                           plainDialogProc, 0)};
        ASSERT_NE(dlg.hwnd, nullptr);
        EXPECT_TRUE(IsWindowVisible(dlg.hwnd));
        char title[128] = {};
        GetWindowTextA(dlg.hwnd, title, sizeof title);
        EXPECT_EQ(t.title, title);

        // The client area is the template's size in dialog units.
        RECT units = {0, 0, t.cx, t.cy};
        MapDialogRect(dlg.hwnd, &units);
        RECT client;
        GetClientRect(dlg.hwnd, &client);
        EXPECT_EQ(client.right, units.right);
        EXPECT_EQ(client.bottom, units.bottom);

        size_t i = 0;
        for (HWND c = GetWindow(dlg.hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT), ++i) {
            ASSERT_LT(i, t.items.size());
            const TemplateItem& item = t.items[i];
            EXPECT_EQ(static_cast<short>(GetDlgCtrlID(c)), static_cast<short>(item.id));
            EXPECT_EQ(_stricmp(className(c).c_str(), item.cls.c_str()), 0) << className(c);
            EXPECT_EQ(IsWindowVisible(c) != FALSE, (item.style & WS_VISIBLE) != 0);
            RECT r = {item.x, item.y, item.x + item.cx, item.y + item.cy};
            MapDialogRect(dlg.hwnd, &r);
            RECT wr;
            GetWindowRect(c, &wr);
            MapWindowPoints(nullptr, dlg.hwnd, reinterpret_cast<POINT*>(&wr), 2);
            EXPECT_EQ(wr.left, r.left);
            EXPECT_EQ(wr.top, r.top);
            if (item.iconId) {
                EXPECT_NE(SendMessageA(c, STM_GETICON, 0, 0), 0) << "icon " << item.iconId;
            }
        }
        EXPECT_EQ(i, t.items.size());
    }
}

// Releases a window's device context, with its font put back, when the test ends.
struct DcOwner {
    HWND hwnd;
    HDC dc;
    HGDIOBJ oldFont;
    DcOwner(const DcOwner&) = delete;
    DcOwner& operator=(const DcOwner&) = delete;
    ~DcOwner() {
        SelectObject(dc, oldFont);
        ReleaseDC(hwnd, dc);
    }
};

// A label too narrow for its text wraps, and its control's height cuts off the wrapped part.
TEST(DialogWindows, EveryLabelFitsItsControlWithoutWrapping) {
    for (int id : {IDD_MONITOR, IDD_LINE_SETTINGS, IDD_ABOUT}) {
        WindowOwner dlg{CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                           plainDialogProc, 0)};
        ASSERT_NE(dlg.hwnd, nullptr);
        for (HWND c = GetWindow(dlg.hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const LONG type = GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK;
            if (_stricmp(className(c).c_str(), "Static") != 0 || (type != SS_LEFT && type != SS_RIGHT)) continue;
            char text[128] = {};
            GetWindowTextA(c, text, sizeof text);
            RECT client, wrapped = {}, lines = {};
            GetClientRect(c, &client);
            wrapped.right = client.right;
            HDC dc = GetDC(c);
            DcOwner owner{c, dc, SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(c, WM_GETFONT, 0, 0)))};
            DrawTextA(dc, text, -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
            DrawTextA(dc, text, -1, &lines, DT_CALCRECT | DT_EXPANDTABS);
            EXPECT_EQ(wrapped.bottom, lines.bottom) << "dialog " << id << ": \"" << text << "\" wraps";
        }
    }
}

TEST(DialogWindows, MonitorWindowCarriesMenu106) {
    WindowOwner dlg{CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MONITOR), nullptr,
                                       plainDialogProc, 0)};
    ASSERT_NE(dlg.hwnd, nullptr);
    HMENU menu = GetMenu(dlg.hwnd);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 5);
    char text[64] = {};
    GetMenuStringA(menu, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Display");
}

// ---- menu 106 ------------------------------------------------------------------------------------

struct MenuLine {
    const char* text;   // null for a separator
    UINT id;
};

TEST(MonitorMenu, EveryItemTextAndIdInOrder) {
    struct Popup {
        const char* title;
        std::vector<MenuLine> items;
    };
    const std::vector<Popup> want = {
        {"File", {{"Exit", ID_FILE_EXIT}}},
        {"Comm", {{"Comm On", ID_COMM_ON}, {"Comm Off", ID_COMM_OFF}, {nullptr, 0}, {"Edit  ...", ID_COMM_EDIT}}},
        {"Log", {{"Log On", ID_LOG_ON}, {"Log Off", ID_LOG_OFF}, {nullptr, 0},
                 {"Select File ...", ID_LOG_SELECT_FILE}}},
        {"Display", {{"Clear", ID_DISPLAY_CLEAR}, {nullptr, 0}, {"Normal Format", ID_FORMAT_NORMAL},
                     {"Hex Format {0x00} ", ID_FORMAT_HEX}, {"Mne Format {???}", ID_FORMAT_MNEMONIC},
                     {"All Hex Format 00ABFF", ID_FORMAT_ALL_HEX}}},
        {"Help", {{"Contents", ID_HELP_CONTENTS}, {"About", ID_HELP_ABOUT}}},
    };
    MenuOwner owner{LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MONITOR_MENU))};
    HMENU menu = owner.menu;
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(want.size()));
    for (size_t p = 0; p < want.size(); ++p) {
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(p), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, want[p].title);
        HMENU sub = GetSubMenu(menu, static_cast<int>(p));
        ASSERT_NE(sub, nullptr);
        ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(want[p].items.size())) << want[p].title;
        for (size_t i = 0; i < want[p].items.size(); ++i) {
            const MenuLine& line = want[p].items[i];
            UINT state = GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION);
            SCOPED_TRACE(std::string(want[p].title) + " item " + std::to_string(i));
            if (!line.text) {
                EXPECT_TRUE(state & MF_SEPARATOR);
                continue;
            }
            EXPECT_FALSE(state & (MF_SEPARATOR | MF_GRAYED | MF_CHECKED));
            char item[64] = {};
            GetMenuStringA(sub, static_cast<UINT>(i), item, sizeof item, MF_BYPOSITION);
            EXPECT_STREQ(item, line.text);
            EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(i)), line.id);
        }
    }
}

// ---- icons ---------------------------------------------------------------------------------------

// Pixels of an icon loaded at its own size, top row first, as 0xAARRGGBB.
std::vector<DWORD> iconPixels(int id, int size) {
    std::vector<DWORD> px;
    UniqueIcon icon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                                  size, size, LR_DEFAULTCOLOR)));
    if (!icon) return px;
    ICONINFO info = {};
    if (!GetIconInfo(icon.get(), &info)) return px;
    UniqueGdiObject color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm = {};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    if (bm.bmWidth != size || bm.bmHeight != size) return px;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    px.resize(static_cast<size_t>(size) * size);
    HDC dc = GetDC(nullptr);
    int lines = GetDIBits(dc, info.hbmColor, 0, size, px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines != size) px.clear();
    return px;
}

int red(DWORD p) { return (p >> 16) & 0xFF; }
int green(DWORD p) { return (p >> 8) & 0xFF; }
int blue(DWORD p) { return p & 0xFF; }
int alpha(DWORD p) { return (p >> 24) & 0xFF; }

TEST(Icons, EachLoadsAt16And32Pixels) {
    for (int id : {IDI_APP, IDI_LAMP_OFF, IDI_LAMP_ON, IDI_LAMP_ACTIVE, IDI_DOTS, IDI_ABOUT_MARK}) {
        for (int size : {16, 32}) {
            std::vector<DWORD> px = iconPixels(id, size);
            ASSERT_EQ(px.size(), static_cast<size_t>(size * size)) << "icon " << id << " at " << size;
            bool opaque = false, clear = false;
            for (DWORD p : px) {
                opaque |= alpha(p) == 255;
                clear |= alpha(p) == 0;
            }
            EXPECT_TRUE(opaque) << "icon " << id << " at " << size;
            EXPECT_TRUE(clear || id == IDI_APP) << "icon " << id << " at " << size << " has no transparent pixel";
        }
    }
}

TEST(Icons, LampsAndMarksHaveTheirColours) {
    for (int size : {16, 32}) {
        SCOPED_TRACE("size " + std::to_string(size));
        const size_t mid = static_cast<size_t>(size / 2) * size + size / 2;
        DWORD off = iconPixels(IDI_LAMP_OFF, size).at(mid);
        DWORD on = iconPixels(IDI_LAMP_ON, size).at(mid);
        EXPECT_LT(green(off), 120);
        EXPECT_GT(green(off), red(off));
        EXPECT_GT(green(on), 180);
        EXPECT_GT(green(on), green(off) + 80);
        DWORD active = iconPixels(IDI_LAMP_ACTIVE, size).at(mid);
        EXPECT_EQ(active & 0xFFFFFF, 0x00FFFFu);   // cyan centre
        DWORD mark = iconPixels(IDI_ABOUT_MARK, size).at(mid);
        EXPECT_GE(blue(mark), 100);
        EXPECT_LT(red(mark) + green(mark), 60);
    }
}

TEST(Icons, SixteenPixelDotsAreDrawnForThatSizeNotScaled) {
    // Drawn at 16: dots of two pixels at columns 3-4, 7-8 and 11-12 on rows 7-8, clear between them.
    std::vector<DWORD> px = iconPixels(IDI_DOTS, 16);
    ASSERT_EQ(px.size(), 256u);
    for (int x = 0; x < 16; ++x) {
        bool dot = x == 3 || x == 4 || x == 7 || x == 8 || x == 11 || x == 12;
        EXPECT_EQ(alpha(px[7 * 16 + x]), dot ? 255 : 0) << "column " << x;
    }
}

// ---- manifest ------------------------------------------------------------------------------------

// The manifest (type 24, id 1) runs the program as the user, unvirtualised, system DPI-aware, with
// the classic common controls.
TEST(Manifest, AsInvokerDpiAwareWithClassicControls) {
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(res, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, res)));
    const std::string xml(data, SizeofResource(nullptr, res));
    EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_EQ(xml.find("Common-Controls"), std::string::npos);
    EXPECT_TRUE(IsProcessDPIAware());
}

// ---- version -------------------------------------------------------------------------------------

// The build's one version (CMakeLists.txt) reaches the version resource.
TEST(VersionInfo, SaysTavrenixOfTheBuildVersionByOlventaSoftware) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    const DWORD ms = MAKELONG(TAV_VERSION_MINOR, TAV_VERSION_MAJOR), ls = MAKELONG(0, TAV_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, ms);
    EXPECT_EQ(fixed->dwFileVersionLS, ls);
    EXPECT_EQ(fixed->dwProductVersionMS, ms);
    EXPECT_EQ(fixed->dwProductVersionLS, ls);
    auto text = [&](const char* name) {
        char* value = nullptr;
        UINT n = 0;
        std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
        if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &n) || !value) return std::string();
        return std::string(value);
    };
    EXPECT_EQ(text("ProductName"), "Tavrenix");
    EXPECT_EQ(text("CompanyName"), "Olventa Software");
    EXPECT_EQ(text("FileVersion"), TAV_VERSION_TEXT);
    EXPECT_EQ(text("ProductVersion"), TAV_VERSION_TEXT);
}

}  // namespace
