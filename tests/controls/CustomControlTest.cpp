#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include "controls/CustomControlClass.h"
#include "controls/CustomControlHandler.h"
#include "controls/CustomControlParam.h"
#include "controls/CustomControlWrapper.h"
#include "controls/CustomHandlerFactory.h"
#include "controls/CustomHandlerRegistry.h"
#include "framework/Application.h"
#include "framework/ControlLookup.h"
#include "framework/Value.h"
#include "support/Bench.h"
#include "tests/controls/ControlsBench.h"
#include "tests/controls/ControlsTestIds.h"

namespace {

struct Call {
    std::string op;
    long long a = 0, b = 0, c = 0, d = 0, e = 0;
    std::string text;
};

// A handler that records every call it gets; optionally takes WM_PAINT itself or paints blue.
class RecordingHandler : public CustomControlHandler {
public:
    RecordingHandler(HWND window, std::vector<Call>& calls) : CustomControlHandler(window), calls_(calls) {}

    void attach(Dialog* dialog, void* param) override
    {
        attachedTo = dialog;
        add("attach", 0, 0, 0, 0, 0);
        attachedParam = param;
    }
    void onDestroy(HWND window) override { add("destroy", window == window_); }
    void onSetText(const char* text) override { add("setText", 0, 0, 0, 0, 0, text ? text : "(null)"); }
    int onGetText(char* buffer, int maxLength) override
    {
        add("getText", maxLength);
        return lstrlenA(lstrcpynA(buffer, "hello", maxLength));
    }
    void onPaint(HDC dc) override
    {
        add("paint", dc != nullptr);
        if (paintBlue) {
            RECT r;
            GetClientRect(window_, &r);
            HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
            FillRect(dc, &r, blue);
            DeleteObject(blue);
        }
    }
    void onKeyDown(int key) override { add("keyDown", key); }
    void onChar(int character) override { add("char", character); }
    void onSetFocus(HWND window, HWND previous) override
    {
        add("setFocus", window == window_, reinterpret_cast<LONG_PTR>(previous));
    }
    void onKillFocus(HWND window, HWND next) override { add("killFocus", window == window_, reinterpret_cast<LONG_PTR>(next)); }
    void onMouse(int kind, int detail, int x, int y, int keys) override { add("mouse", kind, detail, x, y, keys); }
    void onCommand(int id, int code) override { add("command", id, code); }
    void onUserMessage(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        add("user", message, static_cast<long long>(wparam), static_cast<long long>(lparam));
    }
    bool filterMessage(LRESULT* result, UINT message, WPARAM, LPARAM) override
    {
        if (message == WM_PAINT) {
            add("filterPaint", *result);
            if (!filterPaint) return false;
            ValidateRect(window_, nullptr);
            return true;
        }
        if (message == WM_KEYDOWN) add("filterKey");
        if (message == WM_GETDLGCODE && dialogCode) {
            *result = dialogCode;
            return true;
        }
        return false;
    }
    void setInt(int value, int index) override { add("vSetInt", value, index); }
    void setReal(double value, int index) override { add("vSetReal", static_cast<long long>(value * 10), index); }
    void setText(const char* text, int index) override { add("vSetText", index, 0, 0, 0, 0, text); }
    void enable(bool on, int index) override { add("vEnable", on, index); }
    void show(bool on, int index) override { add("vShow", on, index); }
    void clear(int index) override { add("vClear", index); }
    void select(int index) override { add("vSelect", index); }
    int getLeft(int arg) override
    {
        add("vGetLeft", arg);
        return 123;
    }
    void* getExtension(int which) override
    {
        add("vGetExtension", which);
        return this;
    }

    std::vector<Call> of(const std::string& op) const
    {
        std::vector<Call> out;
        for (const Call& c : calls_) {
            if (c.op == op) out.push_back(c);
        }
        return out;
    }

    bool filterPaint = false;
    bool paintBlue = false;
    LRESULT dialogCode = 0;
    Dialog* attachedTo = nullptr;
    void* attachedParam = nullptr;

private:
    void add(const char* op, long long a = 0, long long b = 0, long long c = 0, long long d = 0, long long e = 0,
             std::string text = {})
    {
        calls_.push_back(Call{op, a, b, c, d, e, std::move(text)});
    }
    std::vector<Call>& calls_;
};

// Makes recording handlers (kept here, so they outlive the windows) unless it declines.
class TestFactory : public CustomHandlerFactory {
public:
    TestFactory(int tag, bool decline, std::vector<int>& asked) : tag_(tag), decline_(decline), asked_(asked) {}
    CustomControlHandler* create(int controlId, HWND window, void* createParams) override
    {
        asked_.push_back(tag_);
        lastId = controlId;
        lastWindow = window;
        lastParams = createParams;
        if (decline_) return nullptr;
        made.push_back(std::make_unique<RecordingHandler>(window, calls));
        return made.back().get();
    }
    RecordingHandler* handler(size_t i = 0) const { return i < made.size() ? made[i].get() : nullptr; }

    std::vector<Call> calls;
    std::vector<std::unique_ptr<RecordingHandler>> made;
    int lastId = 0;
    HWND lastWindow = nullptr;
    void* lastParams = nullptr;

private:
    int tag_;
    bool decline_;
    std::vector<int>& asked_;
};

class CustomControl : public ::testing::Test {
protected:
    void SetUp() override { CustomHandlerRegistry::clear(); }
    void TearDown() override { CustomHandlerRegistry::clear(); }

    // Mouse kinds, in order, from the handler's calls.
    static std::vector<int> mouseKinds(const std::vector<Call>& calls)
    {
        std::vector<int> kinds;
        for (const Call& c : calls) {
            if (c.op == "mouse") kinds.push_back(static_cast<int>(c.a));
        }
        return kinds;
    }
    // The cursor is left where it is (warping it on the bench echoes stale positions back):
    // the dialog is moved instead, so that a client point of control lies under the cursor.
    static void placeUnderCursor(HWND dialog, HWND control, int x, int y)
    {
        POINT cursor;
        GetCursorPos(&cursor);
        RECT r;
        GetWindowRect(dialog, &r);
        POINT p = screenPoint(control, x, y);
        SetWindowPos(dialog, HWND_TOP, r.left + cursor.x - p.x, r.top + cursor.y - p.y, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Moves the dialog off the cursor, below and right of it.
    static void placeAwayFromCursor(HWND dialog)
    {
        POINT cursor;
        GetCursorPos(&cursor);
        SetWindowPos(dialog, HWND_TOP, cursor.x + 40, cursor.y + 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
    static bool tracked(HWND window)
    {
        TRACKMOUSEEVENT query{};
        query.cbSize = sizeof query;
        query.dwFlags = TME_QUERY;
        return TrackMouseEvent(&query) && query.hwndTrack == window && (query.dwFlags & TME_LEAVE);
    }
    static POINT screenPoint(HWND window, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(window, &p);
        return p;
    }

    std::vector<int> asked;
};

COLORREF pixelAt(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

void fillRed(HWND window)
{
    HDC dc = GetDC(window);
    RECT r;
    GetClientRect(window, &r);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &r, red);
    DeleteObject(red);
    ReleaseDC(window, dc);
    GdiFlush();
}

}  // namespace

TEST_F(CustomControl, ClassIsRegisteredAtStartWithItsAttributes)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(Application::get().instance(), "formcctrl", &wc));
    EXPECT_EQ(wc.style, 0x402Bu);
    EXPECT_EQ(wc.cbWndExtra, static_cast<int>(sizeof(LONG_PTR)));
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(wc.hIcon, nullptr);
    EXPECT_EQ(wc.lpszMenuName, nullptr);
}

TEST_F(CustomControl, WithoutAFactoryTheDefaultHandlerDoesNothing)
{
    ReportingDialog d(IDD_CUSTOM);
    HWND custom = d.item(IDT_CUSTOM);
    ASSERT_NE(custom, nullptr);
    CustomControlHandler* h = CustomControlClass::handlerOf(custom);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(typeid(*h), typeid(CustomControlHandler));
    auto* w = d.wrapper<CustomControlWrapper>(IDT_CUSTOM);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->handler(), h);
    EXPECT_EQ(h->wrapper(), w);
    EXPECT_EQ(h->window(), custom);

    // The template's caption is not given back.
    char text[64] = "unchanged";
    EXPECT_EQ(GetWindowTextA(custom, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(SendMessageA(custom, WM_GETDLGCODE, 0, 0), 0x81);

    // Nothing is painted, not even the background.
    pumpDialogs(50);
    fillRed(custom);
    InvalidateRect(custom, nullptr, TRUE);
    UpdateWindow(custom);
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(custom, &pending, FALSE));
    EXPECT_EQ(pixelAt(custom, 5, 5), RGB(255, 0, 0));

    // The arrow is shown over it.
    SetCursor(LoadCursorA(nullptr, IDC_CROSS));
    SendMessageA(custom, WM_SETCURSOR, reinterpret_cast<WPARAM>(custom), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));

    // Values: show hides and shows, enable changes nothing, the rest is ignored.
    ValueTarget* t = d.target(IDT_CUSTOM);
    ASSERT_EQ(t, static_cast<ValueTarget*>(w));
    t->enable(false, -1);
    EXPECT_TRUE(IsWindowEnabled(custom));
    t->setText("text", -1);
    t->setInt(4, -1);
    d.setInt(IDT_CUSTOM, AutoValue, -1);
    EXPECT_EQ(GetWindowTextA(custom, text, sizeof text), 0);
    EXPECT_EQ(t->getLeft(0), rectInParent(custom).left);
    EXPECT_GT(t->getLeft(0), 0);
    EXPECT_EQ(t->getExtension(1), nullptr);
    t->show(false, -1);
    EXPECT_FALSE(IsWindowVisible(custom));
    t->show(true, -1);
    EXPECT_TRUE(IsWindowVisible(custom));
    EXPECT_TRUE(d.reports.empty());
}

TEST_F(CustomControl, FactoriesAreAskedInOrderAndADecliningOnePassesTheTurn)
{
    TestFactory declines(1, true, asked), second(2, false, asked), makes(3, false, asked), never(4, false, asked);
    CustomHandlerRegistry::add(IDT_CUSTOM, &declines);
    CustomHandlerRegistry::add(IDT_CUSTOM2, &second);
    CustomHandlerRegistry::add(IDT_CUSTOM, &makes);
    CustomHandlerRegistry::add(IDT_CUSTOM, &never);
    ReportingDialog d(IDD_CUSTOM);
    EXPECT_EQ(asked, (std::vector<int>{1, 3, 2}));
    ASSERT_NE(makes.handler(), nullptr);
    EXPECT_EQ(CustomControlClass::handlerOf(d.item(IDT_CUSTOM)), makes.handler());
    EXPECT_EQ(CustomControlClass::handlerOf(d.item(IDT_CUSTOM2)), second.handler());
    EXPECT_EQ(never.made.size(), 0u);
    EXPECT_EQ(declines.lastId, IDT_CUSTOM);
    EXPECT_EQ(declines.lastWindow, d.item(IDT_CUSTOM));
    EXPECT_EQ(declines.lastParams, nullptr);  // the template gives no creation data
    EXPECT_EQ(makes.lastWindow, d.item(IDT_CUSTOM));

    // Made at creation, linked and attached when the dialog binds it.
    auto calls = makes.handler()->of("attach");
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(makes.handler()->wrapper(), d.wrapper<CustomControlWrapper>(IDT_CUSTOM));
}

TEST_F(CustomControl, MessagesReachTheHandler)
{
    TestFactory f(1, false, asked);
    CustomHandlerRegistry::add(IDT_CUSTOM, &f);
    ReportingDialog d(IDD_CUSTOM);
    HWND custom = d.item(IDT_CUSTOM);
    HWND neighbour = d.item(IDT_NEIGHBOUR);
    RecordingHandler* h = f.handler();
    ASSERT_NE(h, nullptr);
    SetFocus(neighbour);
    f.calls.clear();

    SendMessageA(custom, WM_KEYDOWN, VK_LEFT, 1);
    SendMessageA(custom, WM_CHAR, 'q', 1);
    SetFocus(custom);
    SetFocus(neighbour);
    SendMessageA(custom, WM_COMMAND, MAKEWPARAM(7, 3), 0);
    SendMessageA(custom, WM_USER + 9, 1, 2);
    SendMessageA(custom, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    char text[16] = "";
    EXPECT_EQ(GetWindowTextA(custom, text, sizeof text), 5);
    EXPECT_STREQ(text, "hello");
    SendMessageA(custom, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(-5, 7));
    SendMessageA(custom, WM_MOUSEMOVE, 0, MAKELPARAM(6, -8));

    ASSERT_EQ(h->of("filterKey").size(), 1u);
    auto key = h->of("keyDown");
    ASSERT_EQ(key.size(), 1u);
    EXPECT_EQ(key[0].a, VK_LEFT);
    EXPECT_EQ(h->of("char").at(0).a, 'q');
    auto in = h->of("setFocus");
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0].a, 1);
    EXPECT_EQ(in[0].b, reinterpret_cast<LONG_PTR>(neighbour));
    auto out = h->of("killFocus");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].b, reinterpret_cast<LONG_PTR>(neighbour));
    auto command = h->of("command");
    ASSERT_EQ(command.size(), 1u);
    EXPECT_EQ(command[0].a, 7);
    EXPECT_EQ(command[0].b, 3);
    auto user = h->of("user");
    ASSERT_FALSE(user.empty());
    EXPECT_EQ(user.back().a, WM_USER + 9);
    EXPECT_EQ(user.back().b, 1);
    EXPECT_EQ(user.back().c, 2);
    EXPECT_EQ(h->of("setText").at(0).text, "abc");
    EXPECT_EQ(h->of("getText").at(0).a, 16);
    auto mouse = h->of("mouse");
    ASSERT_EQ(mouse.size(), 2u);
    EXPECT_EQ(mouse[0].a, 2);  // first move: entered, a button held
    EXPECT_EQ(mouse[0].b, 1);
    EXPECT_EQ(mouse[0].c, -5);
    EXPECT_EQ(mouse[0].d, 7);
    EXPECT_EQ(mouse[0].e, MK_RBUTTON);
    EXPECT_EQ(mouse[1].a, 3);
    EXPECT_EQ(mouse[1].b, 0);
    EXPECT_EQ(mouse[1].d, -8);

    // A cursor of the handler's own is shown and the message counts as handled.
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    h->setCursor(cross);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(SendMessageA(custom, WM_SETCURSOR, reinterpret_cast<WPARAM>(custom), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(GetCursor(), cross);

    // What the filter answers is what the sender gets.
    EXPECT_EQ(SendMessageA(custom, WM_GETDLGCODE, 0, 0), 0x81);
    h->dialogCode = DLGC_WANTALLKEYS;
    EXPECT_EQ(SendMessageA(custom, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
}

TEST_F(CustomControl, AFilteredPaintIsLeftToTheHandler)
{
    TestFactory filtering(1, false, asked), painting(2, false, asked);
    CustomHandlerRegistry::add(IDT_CUSTOM, &filtering);
    CustomHandlerRegistry::add(IDT_CUSTOM2, &painting);
    ReportingDialog d(IDD_CUSTOM);
    HWND custom = d.item(IDT_CUSTOM);
    HWND custom2 = d.item(IDT_CUSTOM2);
    RecordingHandler* f = filtering.handler();
    RecordingHandler* p = painting.handler();
    f->filterPaint = true;
    p->paintBlue = true;
    pumpDialogs(50);
    filtering.calls.clear();
    painting.calls.clear();

    fillRed(custom);
    fillRed(custom2);
    InvalidateRect(custom, nullptr, FALSE);
    InvalidateRect(custom2, nullptr, FALSE);
    UpdateWindow(custom);
    UpdateWindow(custom2);
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(custom, &pending, FALSE));
    ASSERT_GE(f->of("filterPaint").size(), 1u);
    EXPECT_EQ(f->of("filterPaint")[0].a, 0);  // the result starts at 0
    EXPECT_TRUE(f->of("paint").empty());
    EXPECT_EQ(pixelAt(custom, 5, 5), RGB(255, 0, 0));  // no BeginPaint, no erase, no drawing

    auto paints = p->of("paint");
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].a, 1);
    EXPECT_EQ(pixelAt(custom2, 5, 5), RGB(0, 0, 255));
}

TEST_F(CustomControl, TheWrapperForwardsValuesAndAttachesWithTheParam)
{
    static int marker = 0;
    const CustomControlParam param(IDT_CUSTOM, &marker, 0);
    const ControlDescriptor* const descriptors[] = {&param, nullptr};
    TestFactory f(1, false, asked), g(2, false, asked);
    CustomHandlerRegistry::add(IDT_CUSTOM, &f);
    CustomHandlerRegistry::add(IDT_CUSTOM2, &g);
    ReportingDialog d(IDD_CUSTOM, descriptors);
    RecordingHandler* h = f.handler();
    EXPECT_EQ(h->attachedTo, static_cast<Dialog*>(&d));
    EXPECT_EQ(h->attachedParam, &marker);
    EXPECT_EQ(g.handler()->attachedParam, nullptr);  // no kind-18 descriptor
    f.calls.clear();

    ValueTarget* t = d.target(IDT_CUSTOM);
    t->setInt(5, 2);
    t->setReal(2.5, 1);
    t->setText("x", -1);
    t->enable(false, 3);
    t->show(false, 4);
    t->clear(6);
    t->select(7);
    EXPECT_EQ(t->getLeft(8), 123);
    EXPECT_EQ(t->getExtension(9), h);
    d.setInt(IDT_CUSTOM, AutoValue, -1);
    std::vector<std::string> ops;
    for (const Call& c : f.calls) ops.push_back(c.op);
    EXPECT_EQ(ops, (std::vector<std::string>{"vSetInt", "vSetReal", "vSetText", "vEnable", "vShow", "vClear",
                                             "vSelect", "vGetLeft", "vGetExtension", "vSetText"}));
    EXPECT_EQ(f.calls[0].a, 5);
    EXPECT_EQ(f.calls[0].b, 2);
    EXPECT_EQ(f.calls[1].a, 25);
    EXPECT_EQ(f.calls[2].text, "x");
    EXPECT_EQ(f.calls[3].a, 0);
    EXPECT_EQ(f.calls[3].b, 3);
    EXPECT_EQ(f.calls[4].b, 4);
    EXPECT_EQ(f.calls[5].a, 6);
    EXPECT_EQ(f.calls[6].a, 7);
    EXPECT_EQ(f.calls[7].a, 8);
    EXPECT_EQ(f.calls[8].a, 9);
    EXPECT_EQ(f.calls[9].text, "Auto");
    EXPECT_TRUE(IsWindowEnabled(d.item(IDT_CUSTOM)));
    EXPECT_TRUE(IsWindowVisible(d.item(IDT_CUSTOM)));
}

TEST_F(CustomControl, DestroyIsTheLastCallAndUnlinksTheWrapper)
{
    TestFactory f(1, false, asked), g(2, false, asked);
    CustomHandlerRegistry::add(IDT_CUSTOM, &f);
    CustomHandlerRegistry::add(IDT_CUSTOM2, &g);
    auto d = std::make_unique<ReportingDialog>(IDD_CUSTOM);
    HWND custom = d->item(IDT_CUSTOM);
    auto* w = d->wrapper<CustomControlWrapper>(IDT_CUSTOM);

    // The control destroyed on its own: the wrapper stops forwarding.
    DestroyWindow(custom);
    ASSERT_EQ(f.calls.empty() ? "" : f.calls.back().op, "destroy");
    EXPECT_EQ(f.calls.back().a, 1);
    EXPECT_EQ(w->handler(), nullptr);
    EXPECT_EQ(f.handler()->wrapper(), nullptr);
    size_t before = f.calls.size();
    w->setInt(1, -1);
    w->show(false, -1);
    EXPECT_EQ(w->getLeft(0), 0);
    EXPECT_EQ(f.calls.size(), before);
    std::unique_ptr<ControlWrapper> orphan(w);  // its control is gone: nobody else frees it

    // With the dialog: the wrapper goes first, then the window's destroy is the last call.
    RecordingHandler* h2 = g.handler();
    ASSERT_EQ(h2->wrapper(), d->wrapper<CustomControlWrapper>(IDT_CUSTOM2));
    d.reset();
    EXPECT_EQ(h2->wrapper(), nullptr);
    ASSERT_FALSE(g.calls.empty());
    EXPECT_EQ(g.calls.back().op, "destroy");
    EXPECT_EQ(h2->of("destroy").size(), 1u);
}

TEST_F(CustomControl, MouseEnterMoveLeaveAndEnterAgain)
{
    TestFactory f(1, false, asked);
    CustomHandlerRegistry::add(IDT_CUSTOM, &f);
    ReportingDialog d(IDD_CUSTOM);
    HWND custom = d.item(IDT_CUSTOM);
    RecordingHandler* h = f.handler();
    auto count = [&](int kind) {
        std::vector<int> k = mouseKinds(f.calls);
        return std::count(k.begin(), k.end(), kind);
    };
    // Brings the control under the cursor; the first move inside is the entry.
    auto enter = [&] {
        placeUnderCursor(d.hwnd(), custom, 10, 10);
        pumpDialogs(200);
        if (count(2) == count(4)) SendMessageA(custom, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    };
    placeAwayFromCursor(d.hwnd());
    pumpDialogs(300);
    f.calls.clear();

    enter();
    ASSERT_EQ(count(2), 1);
    EXPECT_TRUE(h->hovering());
    EXPECT_TRUE(tracked(custom));  // leave tracking armed by the entry
    SendMessageA(custom, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(14, 12));
    SendMessageA(custom, WM_MOUSEMOVE, 0, MAKELPARAM(15, 13));
    placeAwayFromCursor(d.hwnd());
    ASSERT_TRUE(bench::pumpUntil([&] { return count(4) == 1; }, 3000)) << ::testing::PrintToString(mouseKinds(f.calls));
    EXPECT_FALSE(h->hovering());
    pumpDialogs(500);
    enter();
    pumpDialogs(200);

    // Exactly: one entry, moves, one leave, one entry again (and moves).
    std::vector<int> kinds = mouseKinds(f.calls);
    ASSERT_GE(kinds.size(), 5u) << ::testing::PrintToString(kinds);
    EXPECT_EQ(kinds.front(), 2);
    size_t leave = std::find(kinds.begin(), kinds.end(), 4) - kinds.begin();
    ASSERT_GE(leave, 3u) << ::testing::PrintToString(kinds);
    for (size_t i = 1; i < leave; ++i) EXPECT_EQ(kinds[i], 3) << ::testing::PrintToString(kinds);
    ASSERT_GT(kinds.size(), leave + 1);
    EXPECT_EQ(kinds[leave + 1], 2);
    for (size_t i = leave + 2; i < kinds.size(); ++i) EXPECT_EQ(kinds[i], 3) << ::testing::PrintToString(kinds);

    auto mouse = h->of("mouse");
    EXPECT_EQ(mouse[0].c, 10);
    EXPECT_EQ(mouse[0].d, 10);
    EXPECT_EQ(mouse[0].b, 0);
    auto moved = std::find_if(mouse.begin(), mouse.end(), [](const Call& c) { return c.a == 3 && c.e == MK_LBUTTON; });
    ASSERT_NE(moved, mouse.end());
    EXPECT_EQ(moved->b, 1);  // a held button gives detail 1
    EXPECT_EQ(moved->c, 14);
    const Call& gone = mouse[leave];
    EXPECT_EQ(gone.b + gone.c + gone.d + gone.e, 0);
}

TEST_F(CustomControl, AnEntryWhileTheCursorIsElsewhereIsLeftAtOnce)
{
    TestFactory f(1, false, asked);
    CustomHandlerRegistry::add(IDT_CUSTOM, &f);
    ReportingDialog d(IDD_CUSTOM);
    HWND custom = d.item(IDT_CUSTOM);
    placeAwayFromCursor(d.hwnd());
    pumpDialogs(300);
    f.calls.clear();

    // No tracking can be armed for a window the cursor is not over: the leave follows at once.
    SendMessageA(custom, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(custom, WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    EXPECT_EQ(mouseKinds(f.calls), (std::vector<int>{2, 3}));
    pumpDialogs(600);
    EXPECT_EQ(mouseKinds(f.calls), (std::vector<int>{2, 3, 4}));
    EXPECT_FALSE(f.handler()->hovering());
    // A second leave for the same entry is not reported again.
    SendMessageA(custom, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(mouseKinds(f.calls).size(), 3u);
}

TEST_F(CustomControl, ADoubleClickIsPressReleaseDoubleClickRelease)
{
    TestFactory f(1, false, asked);
    CustomHandlerRegistry::add(IDT_CUSTOM, &f);
    ReportingDialog d(IDD_CUSTOM);
    HWND custom = d.item(IDT_CUSTOM);
    RecordingHandler* h = f.handler();
    SetForegroundWindow(d.hwnd());
    placeUnderCursor(d.hwnd(), custom, 20, 15);
    pumpDialogs(200);
    f.calls.clear();

    // Real button input at the cursor: the class's CS_DBLCLKS turns the second press into a double click.
    INPUT clicks[4] = {};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = (i % 2 == 0) ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    ASSERT_EQ(SendInput(4, clicks, sizeof(INPUT)), 4u);
    auto buttons = [&] {
        std::vector<std::pair<int, int>> out;
        for (const Call& c : h->of("mouse")) {
            if (c.a == 0) out.emplace_back(static_cast<int>(c.b), static_cast<int>(c.d));
        }
        return out;
    };
    ASSERT_TRUE(bench::pumpUntil([&] { return buttons().size() >= 4; }, 2000));
    pumpDialogs(50);
    auto seen = buttons();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].first, 1);
    EXPECT_EQ(seen[1].first, 0);
    EXPECT_EQ(seen[2].first, 2);
    EXPECT_EQ(seen[3].first, 0);
    for (auto& s : seen) EXPECT_EQ(s.second, 15);  // client y of the click
}
