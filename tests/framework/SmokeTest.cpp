#include <gtest/gtest.h>
#include "framework/Application.h"
#include "framework/ControlWrapper.h"
#include "framework/Dialog.h"
#include "framework/DialogWindow.h"
#include "tests/framework/TestIds.h"

TEST(Smoke, DialogBindsEveryControl)
{
    Dialog d(IDD_MAIN, nullptr, nullptr, false, false);
    ASSERT_TRUE(d.created());
    EXPECT_TRUE(Application::get().isRegistered(d.window()));
    for (int id : {IDC_EDIT, IDC_TEXT, IDC_GROUP, IDC_FIXED}) {
        HWND c = GetDlgItem(d.hwnd(), id);
        ASSERT_NE(c, nullptr);
        ControlWrapper* w = ControlWrapper::fromWindow(c);
        ASSERT_NE(w, nullptr) << id;
        EXPECT_EQ(w->id(), id);
    }
    d.close();
    EXPECT_FALSE(Application::get().isRegistered(d.window()));
}
