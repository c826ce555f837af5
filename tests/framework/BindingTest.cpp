#include <gtest/gtest.h>
#include <new>
#include <typeinfo>
#include "framework/ControlAnchor.h"
#include "framework/ControlFactory.h"
#include "framework/ControlLookup.h"
#include "framework/ControlWrapper.h"
#include "framework/DialogWindow.h"
#include "framework/KeyHandler.h"
#include "framework/TextValue.h"
#include "framework/Value.h"
#include "framework/WindowIcons.h"
#include "tests/framework/Recorder.h"
#include "tests/framework/TestIds.h"

namespace {

// A descriptor of a kind this program declares nowhere (a grid or group-box kind).
class OtherKind : public ControlDescriptor {
public:
    OtherKind(int id, int kind, int anchor) : ControlDescriptor(id, kind, anchor) {}
};

// What the factory handed to creators of statics, per id; creators decline unless asked.
struct Seen {
    bool called = false;
    const ControlDescriptor* descriptor = nullptr;
    LONG style = 0;
};
Seen seenText, seenFixed;
bool claimFixed = false;
bool failFixed = false;

class ClaimedWrapper : public ControlWrapper {
public:
    ClaimedWrapper(DialogWindow& owner, HWND control, int id, const ControlDescriptor* d)
        : ControlWrapper(&owner, control, id)
    {
        // Rectangle and anchor are set only after construction.
        constructedRect = rect_;
        constructedAnchor = anchor_;
        descriptor = d;
    }
    RECT constructedRect;
    int constructedAnchor;
    const ControlDescriptor* descriptor;
};

std::unique_ptr<ControlWrapper> watchStatics(DialogWindow& owner, HWND control, int id, LONG style,
                                             const ControlDescriptor* d)
{
    if (id == IDC_TEXT) seenText = Seen{true, d, style};
    if (id == IDC_FIXED) {
        seenFixed = Seen{true, d, style};
        if (failFixed) throw std::bad_alloc();
        if (claimFixed) return std::make_unique<ClaimedWrapper>(owner, control, id, d);
    }
    return nullptr;
}

ControlFactory::Registration watcher(ClassStatic, &watchStatics);

class ConsumingKeys : public KeyHandler {
public:
    ConsumingKeys(int id, int* released, int* seenKey) : KeyHandler(id), released_(released), seenKey_(seenKey) {}
    bool onKey(int key, int id) override
    {
        *seenKey_ = key;
        return consume && id == id_;
    }
    void release() override
    {
        ++*released_;
        KeyHandler::release();
    }
    bool consume = true;

private:
    int* released_;
    int* seenKey_;
};

}  // namespace

TEST(Descriptors, FirstMatchWinsAndAbsentGivesNull)
{
    const ControlAnchor first(IDC_TEXT, AnchorMoveRight);
    const ControlAnchor second(IDC_TEXT, AnchorGrowWidth);
    const WindowIcons icons(IDD_MAIN, 1, 2, 0);
    const ControlDescriptor* const list[] = {&icons, &first, &second, nullptr};
    EXPECT_EQ(ControlDescriptor::find(list, IDC_TEXT), &first);
    EXPECT_EQ(ControlDescriptor::find(list, IDD_MAIN), &icons);
    EXPECT_EQ(ControlDescriptor::find(list, IDC_EDIT), nullptr);
    EXPECT_EQ(ControlDescriptor::find(nullptr, IDC_EDIT), nullptr);
    EXPECT_EQ(ControlDescriptor::find(ControlDescriptor::emptyList(), 0), nullptr);
    EXPECT_TRUE(icons.isKind(2));
    EXPECT_FALSE(icons.isKind(1));
    EXPECT_TRUE(first.isKind(1));
    EXPECT_EQ(second.anchor(), AnchorGrowWidth);
}

TEST(ClassKinds, NamesMatchWithoutRegardToCase)
{
    EXPECT_EQ(ControlFactory::classKindOfName("BUTTON"), ClassButton);
    EXPECT_EQ(ControlFactory::classKindOfName("Edit"), ClassEdit);
    EXPECT_EQ(ControlFactory::classKindOfName("combobox"), ClassComboBox);
    EXPECT_EQ(ControlFactory::classKindOfName("FormCCtrl"), ClassCustom);
    EXPECT_EQ(ControlFactory::classKindOfName("SysTreeView32"), ClassTreeView);
    EXPECT_EQ(ControlFactory::classKindOfName("#32770"), ClassUnknown);
    EXPECT_EQ(ControlFactory::classKindOfName(nullptr), ClassUnknown);
    for (int k = 0; k < ClassKinds; ++k) EXPECT_EQ(ControlFactory::classKindOfName(ControlFactory::className(k)), k);
    EXPECT_EQ(ControlFactory::className(18), nullptr);
}

TEST(Binding, DescriptorsGiveAnchorsAndReachTheFactory)
{
    const ControlAnchor first(IDC_TEXT, AnchorMoveRight);
    const ControlAnchor second(IDC_TEXT, AnchorGrowWidth);
    const ControlDescriptor* const list[] = {&first, &second, nullptr};
    seenText = seenFixed = Seen{};
    EventLog log;
    RecordingDialog d(log, IDD_MAIN, list);
    ControlWrapper* text = ControlWrapper::fromWindow(GetDlgItem(d.hwnd(), IDC_TEXT));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->anchor(), AnchorMoveRight);
    EXPECT_TRUE(seenText.called);
    EXPECT_EQ(seenText.descriptor, &first);
    EXPECT_EQ(seenText.style & SS_TYPEMASK, SS_LEFT);
    EXPECT_TRUE(seenFixed.called);
    EXPECT_EQ(seenFixed.descriptor, nullptr);
    EXPECT_EQ(ControlWrapper::fromWindow(GetDlgItem(d.hwnd(), IDC_FIXED))->anchor(), 0);
    RECT r = rectInParent(GetDlgItem(d.hwnd(), IDC_TEXT));
    EXPECT_TRUE(EqualRect(&r, &text->rect()));
    EXPECT_GT(r.right, r.left);
}

TEST(Binding, RegisteredCreatorsPlugInAndFailuresLeaveTheControlUnbound)
{
    const ControlAnchor fixed(IDC_FIXED, AnchorMoveDown);
    const ControlDescriptor* const list[] = {&fixed, nullptr};
    EventLog log;
    claimFixed = true;
    {
        RecordingDialog d(log, IDD_MAIN, list);
        auto* w = dynamic_cast<ClaimedWrapper*>(ControlWrapper::fromWindow(GetDlgItem(d.hwnd(), IDC_FIXED)));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->descriptor, &fixed);
        EXPECT_EQ(w->constructedAnchor, 0);
        EXPECT_EQ(w->constructedRect.right, 0);
        EXPECT_EQ(w->anchor(), AnchorMoveDown);
        EXPECT_GT(w->rect().right, 0);
    }
    claimFixed = false;
    failFixed = true;
    {
        RecordingDialog d(log, IDD_MAIN, list);
        EXPECT_EQ(ControlWrapper::fromWindow(GetDlgItem(d.hwnd(), IDC_FIXED)), nullptr);
        EXPECT_EQ(d.window()->findTarget(IDC_FIXED), nullptr);
        EXPECT_NE(ControlWrapper::fromWindow(GetDlgItem(d.hwnd(), IDC_TEXT)), nullptr);
        d.setText(IDC_FIXED, "nothing", -1);  // unbound: no target, nothing happens
        char text[32];
        GetWindowTextA(GetDlgItem(d.hwnd(), IDC_FIXED), text, sizeof text);
        EXPECT_STREQ(text, "fixed");
    }
    failFixed = false;
}

namespace {

WNDPROC editClassProc = nullptr;
int seenByOwnProc = 0;

// The program's own subclass of a control, put in before the wrapper's.
LRESULT CALLBACK countingProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam)
{
    seenByOwnProc += message == WM_USER + 7;
    return CallWindowProcA(editClassProc, control, message, wparam, lparam);
}

}  // namespace

TEST(Binding, BindingTwiceKeepsTheWrapperAndUnboundTheControlKeepsItsOwnProcedure)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    HWND edit = GetDlgItem(d.hwnd(), IDC_EDIT);
    std::unique_ptr<ControlWrapper> gone(ControlWrapper::fromWindow(edit));
    SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
    gone.reset();
    editClassProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&countingProc)));
    ControlWrapper* w = ControlFactory::bind(edit, *d.window());
    ASSERT_EQ(ControlFactory::bind(edit, *d.window()), w);  // a second chain would call itself
    SetWindowLongPtrA(edit, GWLP_USERDATA, 0);  // unbound, still subclassed
    SendMessageA(edit, WM_USER + 7, 0, 0);
    EXPECT_EQ(seenByOwnProc, 1);
    SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));  // the teardown deletes it
}

TEST(Binding, GroupBoxGetsThePlainWrapperWithoutGridDescriptor)
{
    const ControlAnchor plain(IDC_GROUP, AnchorGrowWidth);
    const ControlDescriptor* const list[] = {&plain, nullptr};
    EventLog log;
    RecordingDialog with(log, IDD_MAIN, list);
    RecordingDialog without(log, IDD_MAIN);
    for (RecordingDialog* d : {&with, &without}) {
        ControlWrapper* w = ControlWrapper::fromWindow(GetDlgItem(d->hwnd(), IDC_GROUP));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(typeid(*w) == typeid(ControlWrapper));
    }
}

TEST(Lookup, SetIdHighChangesWhatLookupFindsAndWhatReportsCarry)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    HWND text = GetDlgItem(d.hwnd(), IDC_TEXT);
    ControlWrapper* w = ControlWrapper::fromWindow(text);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(findControl(d.hwnd(), IDC_TEXT), text);
    w->setIdHigh(5);
    const int high = IDC_TEXT + 5 * 65536;
    EXPECT_EQ(w->id(), high);
    EXPECT_EQ(findControl(d.hwnd(), IDC_TEXT), nullptr);
    EXPECT_EQ(d.window()->findTarget(IDC_TEXT), nullptr);
    EXPECT_EQ(findControl(d.hwnd(), high), text);
    EXPECT_EQ(d.window()->findTarget(high), w->target());
    SendMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TEXT, EN_CHANGE), reinterpret_cast<LPARAM>(text));
    ASSERT_NE(log.last("value"), nullptr);
    EXPECT_EQ(log.last("value")->id, high);
    EXPECT_EQ(log.last("value")->text, "text");
    w->setIdHigh(0);
    EXPECT_EQ(w->id(), IDC_TEXT);
}

TEST(Lookup, PagesAreSearchedRightAfterTheirHost)
{
    // A wrapper that hosts one page: the bare dialog, whose text control has IDC_TEXT too.
    struct Host : ControlWrapper {
        Host(DialogWindow* owner, HWND control, int id, HWND page) : ControlWrapper(owner, control, id), page_(page) {}
        bool getPages(int& count, const HWND*& pages) override
        {
            count = 1;
            pages = &page_;
            return true;
        }
        HWND page_;
    };
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    HWND page = d.window()->createChildDialog(IDD_BARE);
    ASSERT_NE(page, nullptr);
    HWND pageText = GetDlgItem(page, IDC_TEXT);
    ControlWrapper* inPage = ControlWrapper::fromWindow(pageText);
    ASSERT_NE(inPage, nullptr);  // the page's controls are bound with the dialog as owner
    EXPECT_EQ(inPage->owner(), d.window());
    inPage->setIdHigh(9);  // an id only the page has
    const int pageOnly = IDC_TEXT + 9 * 65536;
    EXPECT_EQ(findControl(d.hwnd(), pageOnly), nullptr);  // not hosted yet
    rebind<Host>(d, IDC_EDIT, page);
    EXPECT_EQ(findControl(d.hwnd(), pageOnly), pageText);
    // The host's own id and later siblings are still found.
    EXPECT_EQ(findControl(d.hwnd(), IDC_FIXED), GetDlgItem(d.hwnd(), IDC_FIXED));
    // Reports from page controls reach the dialog.
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_TEXT, EN_CHANGE), reinterpret_cast<LPARAM>(pageText));
    ASSERT_NE(log.last("value"), nullptr);
    EXPECT_EQ(log.last("value")->id, pageOnly);

    // A page destroyed on its own takes its controls' wrappers with it.
    std::unique_ptr<ControlWrapper> gone(inPage);
    SetWindowLongPtrA(pageText, GWLP_USERDATA, 0);
    gone.reset();
    std::make_unique<TestWrapper>(d.window(), pageText, IDC_TEXT, log).release();  // owned by the slot
    DestroyWindow(page);
    EXPECT_EQ(log.count("wrapperGone"), 1);
    EXPECT_EQ(findControl(d.hwnd(), IDC_TEXT + 9 * 65536), nullptr);
}

TEST(ValueTargets, PlainWrapperShowsNumbersAsText)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    HWND text = GetDlgItem(d.hwnd(), IDC_TEXT);
    char shown[64];
    d.setInt(IDC_TEXT, 7, -1);
    GetWindowTextA(text, shown, sizeof shown);
    EXPECT_STREQ(shown, "7");
    d.window()->findTarget(IDC_TEXT)->setReal(2.5, -1);
    GetWindowTextA(text, shown, sizeof shown);
    EXPECT_STREQ(shown, "2.500000");
    d.setInt(IDC_TEXT, AutoValue, -1);
    GetWindowTextA(text, shown, sizeof shown);
    EXPECT_STREQ(shown, "Auto");
    EXPECT_EQ(TextValue::parseInt(shown), AutoValue);
    d.setText(IDC_TEXT, "hello", -1);
    GetWindowTextA(text, shown, sizeof shown);
    EXPECT_STREQ(shown, "hello");
    d.window()->findTarget(IDC_TEXT)->clear(-1);
    EXPECT_EQ(GetWindowTextLengthA(text), 0);
    d.enable(IDC_TEXT, false, -1);
    EXPECT_FALSE(IsWindowEnabled(text));
    d.enable(IDC_TEXT, true, -1);
    EXPECT_TRUE(IsWindowEnabled(text));
    ValueTarget* t = d.window()->findTarget(IDC_TEXT);
    t->show(false, -1);
    EXPECT_FALSE(IsWindowVisible(text));
    t->show(true, -1);
    EXPECT_TRUE(IsWindowVisible(text));
    RECT r = rectInParent(text);
    EXPECT_EQ(t->getWidth(), r.right - r.left);
    EXPECT_EQ(t->getHeight(), r.bottom - r.top);
    EXPECT_EQ(t->getLeft(0), r.left);
    EXPECT_EQ(t->getTop(0), r.top);
    EXPECT_EQ(t->getExtension(0), nullptr);
    ASSERT_NE(t->getKeyHandler(), nullptr);
    EXPECT_EQ(t->getKeyHandler()->getGridId(), IDC_TEXT);
    EXPECT_EQ(t->getKeyHandler()->getVisibleRows(), 1);
    d.setText(4242, "no such control", -1);  // no target: nothing happens
}

TEST(Keys, AKeyConsumedByTheHandlerNeverReachesTheControl)
{
    EventLog log;
    auto d = std::make_unique<RecordingDialog>(log, IDD_MAIN);
    HWND edit = GetDlgItem(d->hwnd(), IDC_EDIT);
    ControlWrapper* w = ControlWrapper::fromWindow(edit);
    ASSERT_NE(w, nullptr);
    int released = 0, released2 = 0, seenKey = 0;
    auto keys = std::make_unique<ConsumingKeys>(w->id(), &released, &seenKey);
    ConsumingKeys* handler = keys.get();
    w->setKeyHandler(keys.release());  // the wrapper gives it up through release
    EXPECT_EQ(w->getKeyHandler(), handler);
    SetWindowTextA(edit, "abc");
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 1);
    char text[16];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(seenKey, VK_DELETE);
    handler->consume = false;
    SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 1);
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "bc");
    // Replacing the handler releases the old one; the dialog's end releases the current one.
    w->setKeyHandler(std::make_unique<ConsumingKeys>(w->id(), &released2, &seenKey).release());
    EXPECT_EQ(released, 1);
    EXPECT_EQ(released2, 0);
    d.reset();
    EXPECT_EQ(released2, 1);
}

TEST(Focus, FocusChangesAreReportedWithTheWrapperId)
{
    EventLog log;
    RecordingDialog d(log, IDD_MAIN);
    pumpDialogs(30);
    SetFocus(GetDlgItem(d.hwnd(), IDC_TEXT));
    log.clear();
    SetFocus(GetDlgItem(d.hwnd(), IDC_EDIT));
    ASSERT_EQ(log.count("focus"), 2);
    EXPECT_EQ(log.events[0].id, IDC_TEXT);
    EXPECT_EQ(log.events[0].a, 0);
    EXPECT_EQ(log.events[1].id, IDC_EDIT);
    EXPECT_EQ(log.events[1].a, 1);
    // activate on the focused control announces it again; on another one it moves the focus.
    log.clear();
    ControlWrapper::fromWindow(GetDlgItem(d.hwnd(), IDC_EDIT))->activate();
    ASSERT_EQ(log.count("focus"), 1);
    EXPECT_EQ(log.events[0].id, IDC_EDIT);
    ControlWrapper::fromWindow(GetDlgItem(d.hwnd(), IDC_TEXT))->activate();
    EXPECT_EQ(GetFocus(), GetDlgItem(d.hwnd(), IDC_TEXT));
    d.unbindOnFocus = IDC_EDIT;
    SetFocus(GetDlgItem(d.hwnd(), IDC_EDIT));  // the dialog deletes the edit's wrapper meanwhile
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(0, &info);
    EXPECT_EQ(info.hwndCaret, GetDlgItem(d.hwnd(), IDC_EDIT));  // the edit made its caret
}
