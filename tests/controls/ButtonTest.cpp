#include <gtest/gtest.h>
#include "controls/CheckBoxWrapper.h"
#include "controls/PushButtonWrapper.h"
#include "controls/RadioButtonWrapper.h"
#include "controls/StaticBitmapWrapper.h"
#include "controls/StaticIconWrapper.h"
#include "framework/ButtonImages.h"
#include "framework/RadioGroup.h"
#include "resources/resource.h"
#include "tests/controls/ControlsBench.h"
#include "tests/controls/ControlsTestIds.h"

namespace {

const RadioGroup radioGroup(IDT_RADIO1, IDT_RADIO1, IDT_RADIO3, 0);
const RadioGroup radioGroup3(IDT_RADIO3, IDT_RADIO1, IDT_RADIO3, 0);
const ButtonImages iconOnly(IDT_ICONBTN, IDI_DOTS, 0, 0);
const ButtonImages iconAndDisabled(IDT_ICONBTN2, IDI_DOTS, IDI_LAMP_OFF, 0);
const ButtonImages bitmapButton(IDT_BMPBTN, IDB_TEST, 0, 0);
const ControlDescriptor* const buttonDescriptors[] = {&radioGroup, &radioGroup3, &iconOnly, &iconAndDisabled,
                                                      &bitmapButton, nullptr};

int checked(HWND button) { return static_cast<int>(SendMessageA(button, BM_GETCHECK, 0, 0)); }

HANDLE buttonImage(HWND button, int type)
{
    return reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, type, 0));
}

bool isIcon(HANDLE h)
{
    ICONINFO info{};
    if (!h || !GetIconInfo(static_cast<HICON>(h), &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

bool isBitmap(HANDLE h)
{
    BITMAP bm{};
    return h && GetObjectA(h, sizeof bm, &bm) == sizeof bm;
}

}  // namespace

TEST(Buttons, EachButtonKindGetsItsWrapper)
{
    ReportingDialog d(IDD_BUTTONS, buttonDescriptors);
    EXPECT_NE(d.wrapper<CheckBoxWrapper>(IDT_CHECK), nullptr);
    EXPECT_NE(d.wrapper<RadioButtonWrapper>(IDT_RADIO2), nullptr);
    EXPECT_NE(d.wrapper<PushButtonWrapper>(IDT_PLAINBTN), nullptr);
    EXPECT_NE(d.wrapper<PushButtonWrapper>(IDT_TRISTATE), nullptr);  // three-state boxes are push-button wrapped
    EXPECT_NE(d.wrapper<StaticIconWrapper>(IDT_STATICICON), nullptr);
    EXPECT_NE(d.wrapper<StaticBitmapWrapper>(IDT_STATICBMP), nullptr);
    ControlWrapper* group = ControlWrapper::fromWindow(d.item(IDT_GROUP));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(typeid(*group), typeid(ControlWrapper));
}

TEST(Buttons, CheckBoxNumbersSetTheStateSilentlyAndClicksReportIt)
{
    ReportingDialog d(IDD_BUTTONS, buttonDescriptors);
    HWND box = d.item(IDT_CHECK);
    ValueTarget* t = d.target(IDT_CHECK);
    t->setInt(7, -1);
    EXPECT_EQ(checked(box), BST_CHECKED);
    t->setInt(0, -1);
    EXPECT_EQ(checked(box), BST_UNCHECKED);
    pumpDialogs(20);
    EXPECT_TRUE(d.reports.empty());

    SendMessageA(box, BM_CLICK, 0, 0);
    SendMessageA(box, BM_CLICK, 0, 0);
    auto s = d.of("selection", IDT_CHECK);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].a, -1);
    EXPECT_EQ(s[0].b, 1);
    EXPECT_EQ(s[1].a, -1);
    EXPECT_EQ(s[1].b, 0);

    // The state reported is the one read back; other notifications report nothing.
    t->setInt(1, -1);
    d.forget();
    SendMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDT_CHECK, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(box));
    EXPECT_TRUE(d.reports.empty());
    SendMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDT_CHECK, BN_CLICKED), reinterpret_cast<LPARAM>(box));
    s = d.of("selection", IDT_CHECK);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].b, 1);
}

TEST(Buttons, RadioInAGroupClearsTheOthers)
{
    ReportingDialog d(IDD_BUTTONS, buttonDescriptors);
    auto* r1 = d.wrapper<RadioButtonWrapper>(IDT_RADIO1);
    auto* r2 = d.wrapper<RadioButtonWrapper>(IDT_RADIO2);
    ASSERT_NE(r1, nullptr);
    EXPECT_EQ(r1->firstId(), IDT_RADIO1);
    EXPECT_EQ(r1->lastId(), IDT_RADIO3);
    EXPECT_EQ(r2->firstId(), IDT_RADIO2);  // no descriptor: a group of one
    EXPECT_EQ(r2->lastId(), IDT_RADIO2);

    d.target(IDT_RADIO3)->setInt(1, -1);
    d.target(IDT_RADIO1)->setInt(1, -1);
    EXPECT_EQ(checked(d.item(IDT_RADIO1)), BST_CHECKED);
    EXPECT_EQ(checked(d.item(IDT_RADIO3)), BST_UNCHECKED);
    // The button without a group leaves the others as they are.
    d.target(IDT_RADIO2)->setInt(1, -1);
    EXPECT_EQ(checked(d.item(IDT_RADIO1)), BST_CHECKED);
    EXPECT_EQ(checked(d.item(IDT_RADIO2)), BST_CHECKED);
    // 0 clears only this one.
    d.target(IDT_RADIO1)->setInt(0, -1);
    EXPECT_EQ(checked(d.item(IDT_RADIO1)), BST_UNCHECKED);
    EXPECT_EQ(checked(d.item(IDT_RADIO2)), BST_CHECKED);
    d.target(IDT_RADIO3)->setInt(5, -1);
    EXPECT_EQ(checked(d.item(IDT_RADIO2)), BST_UNCHECKED);
    EXPECT_EQ(checked(d.item(IDT_RADIO3)), BST_CHECKED);
    EXPECT_TRUE(d.reports.empty());

    SendMessageA(d.item(IDT_RADIO2), BM_CLICK, 0, 0);
    auto s = d.of("selection");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].id, IDT_RADIO2);
    EXPECT_EQ(s[0].a, -1);
    EXPECT_EQ(s[0].b, 1);
    EXPECT_EQ(checked(d.item(IDT_RADIO3)), BST_UNCHECKED);
}

TEST(Buttons, IconButtonShowsItsIconAndKeepsItWhenDisabledWithoutADisabledImage)
{
    ReportingDialog d(IDD_BUTTONS, buttonDescriptors);
    HWND button = d.item(IDT_ICONBTN);
    auto* w = d.wrapper<PushButtonWrapper>(IDT_ICONBTN);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->imageType(), IMAGE_ICON);
    HANDLE icon = w->image();
    ASSERT_TRUE(isIcon(icon));
    EXPECT_EQ(buttonImage(button, IMAGE_ICON), icon);
    EXPECT_EQ(w->disabledImage(), nullptr);

    d.target(IDT_ICONBTN)->enable(false, -1);
    EXPECT_FALSE(IsWindowEnabled(button));
    EXPECT_EQ(buttonImage(button, IMAGE_ICON), icon);
    d.target(IDT_ICONBTN)->enable(true, -1);
    EXPECT_TRUE(IsWindowEnabled(button));
    EXPECT_EQ(buttonImage(button, IMAGE_ICON), icon);

    // A new icon by number replaces the old one, which is released.
    d.target(IDT_ICONBTN)->setInt(IDI_LAMP_ON, -1);
    HANDLE lamp = w->image();
    EXPECT_TRUE(isIcon(lamp));
    EXPECT_NE(lamp, icon);
    EXPECT_EQ(buttonImage(button, IMAGE_ICON), lamp);
    EXPECT_FALSE(isIcon(icon));
    d.target(IDT_ICONBTN)->setInt(0, -1);
    EXPECT_EQ(w->image(), nullptr);
    EXPECT_EQ(buttonImage(button, IMAGE_ICON), nullptr);
    EXPECT_FALSE(isIcon(lamp));
}

TEST(Buttons, DisabledImageShowsWhileDisabled)
{
    auto d = std::make_unique<ReportingDialog>(IDD_BUTTONS, buttonDescriptors);
    HWND button = d->item(IDT_ICONBTN2);
    auto* w = d->wrapper<PushButtonWrapper>(IDT_ICONBTN2);
    HANDLE normal = w->image();
    HANDLE disabled = w->disabledImage();
    ASSERT_TRUE(isIcon(normal));
    ASSERT_TRUE(isIcon(disabled));
    EXPECT_EQ(buttonImage(button, IMAGE_ICON), normal);  // the disabled one is not shown yet
    d->target(IDT_ICONBTN2)->enable(false, -1);
    EXPECT_EQ(buttonImage(button, IMAGE_ICON), disabled);
    d->target(IDT_ICONBTN2)->enable(true, -1);
    EXPECT_EQ(buttonImage(button, IMAGE_ICON), normal);

    // Both images go with the dialog.
    d.reset();
    EXPECT_FALSE(isIcon(normal));
    EXPECT_FALSE(isIcon(disabled));
}

TEST(Buttons, BitmapButtonTakesNumbersAsItsCaptionAndClicksAreCommands)
{
    ReportingDialog d(IDD_BUTTONS, buttonDescriptors);
    HWND button = d.item(IDT_BMPBTN);
    auto* w = d.wrapper<PushButtonWrapper>(IDT_BMPBTN);
    EXPECT_EQ(w->imageType(), IMAGE_BITMAP);
    EXPECT_TRUE(isBitmap(w->image()));
    EXPECT_EQ(buttonImage(button, IMAGE_BITMAP), w->image());
    d.target(IDT_BMPBTN)->setInt(5, -1);
    EXPECT_EQ(windowText(button), "5");
    EXPECT_TRUE(isBitmap(w->image()));

    // A plain button without a descriptor shows no image.
    EXPECT_EQ(d.wrapper<PushButtonWrapper>(IDT_PLAINBTN)->image(), nullptr);
    SendMessageA(d.item(IDT_PLAINBTN), BM_CLICK, 0, 0);
    SendMessageA(button, BM_CLICK, 0, 0);
    auto c = d.of("command");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].id, IDT_PLAINBTN);
    EXPECT_EQ(c[1].id, IDT_BMPBTN);
    EXPECT_TRUE(d.of("selection").empty());
}

TEST(Buttons, StaticImagesShowTheResourceAndReleaseWhatTheyHold)
{
    auto d = std::make_unique<ReportingDialog>(IDD_BUTTONS, buttonDescriptors);
    HWND iconStatic = d->item(IDT_STATICICON);
    auto* icons = d->wrapper<StaticIconWrapper>(IDT_STATICICON);
    EXPECT_EQ(icons->image(), nullptr);  // the template's icon belongs to the control
    d->target(IDT_STATICICON)->setInt(IDI_LAMP_ON, -1);
    HANDLE on = icons->image();
    ASSERT_TRUE(isIcon(on));
    EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(iconStatic, STM_GETIMAGE, IMAGE_ICON, 0)), on);
    d->target(IDT_STATICICON)->setInt(IDI_LAMP_ACTIVE, -1);
    HANDLE active = icons->image();
    EXPECT_TRUE(isIcon(active));
    EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(iconStatic, STM_GETIMAGE, IMAGE_ICON, 0)), active);
    // A lamp switching back and forth loads each of its few icons once, however often it switches.
    for (int i = 0; i < 50; ++i) {
        d->target(IDT_STATICICON)->setInt(IDI_LAMP_ON, -1);
        d->target(IDT_STATICICON)->setInt(IDI_LAMP_ACTIVE, -1);
    }
    EXPECT_EQ(icons->image(), active);
    d->target(IDT_STATICICON)->setInt(IDI_LAMP_ON, -1);
    EXPECT_EQ(icons->image(), on);
    // An id that does not load clears the picture.
    d->target(IDT_STATICICON)->setInt(IDB_MISSING, -1);
    EXPECT_EQ(icons->image(), nullptr);
    EXPECT_EQ(SendMessageA(iconStatic, STM_GETIMAGE, IMAGE_ICON, 0), 0);

    HWND bitmapStatic = d->item(IDT_STATICBMP);
    auto* bitmaps = d->wrapper<StaticBitmapWrapper>(IDT_STATICBMP);
    d->target(IDT_STATICBMP)->setInt(IDB_TEST, -1);
    HANDLE first = bitmaps->image();
    ASSERT_TRUE(isBitmap(first));
    EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(bitmapStatic, STM_GETIMAGE, IMAGE_BITMAP, 0)), first);
    d->target(IDT_STATICBMP)->setInt(IDB_TEST, -1);
    HANDLE second = bitmaps->image();
    EXPECT_TRUE(isBitmap(second));
    EXPECT_NE(second, first);
    EXPECT_FALSE(isBitmap(first));
    d.reset();
    EXPECT_FALSE(isBitmap(second));
    EXPECT_FALSE(isIcon(on)) << "kept icons go with the control";
    EXPECT_FALSE(isIcon(active));
}
