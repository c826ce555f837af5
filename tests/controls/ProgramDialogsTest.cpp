// The wrappers on the program's own dialog resources, set up as the monitor window and the
// line settings dialog set them up.
#include <gtest/gtest.h>
#include <string>
#include "controls/CheckBoxWrapper.h"
#include "controls/ComboBoxWrapper.h"
#include "controls/EditWrapper.h"
#include "controls/PushButtonWrapper.h"
#include "controls/StaticIconWrapper.h"
#include "framework/ButtonImages.h"
#include "framework/ControlAnchor.h"
#include "framework/EditOptions.h"
#include "framework/ListItems.h"
#include "resources/resource.h"
#include "tests/controls/ControlsBench.h"

namespace {

const ButtonImages portButton(IDC_PORT_EDIT, IDI_DOTS, 0, AnchorMoveRight);
const ButtonImages logButton(IDC_LOG_SELECT, IDI_DOTS, 0, AnchorMoveRight);
const EditOptions logPath(IDC_LOG_PATH, 0, AnchorGrowWidth);
const EditOptions pane(IDC_PANE, 0, AnchorGrowWidth | AnchorGrowHeight);
const EditOptions sendText(IDC_SEND_TEXT, 0, AnchorGrowWidth);
const ControlDescriptor* const monitorList[] = {&portButton, &logPath, &logButton, &pane, &sendText, nullptr};

const char* const portNames[] = {"COM1", "COM2", "COM3", "COM4", nullptr};
const char* const baudLabels[] = {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115K", nullptr};
const char* const dataBits[] = {"4 Bits", "5 Bits", "6 Bits", "7 Bits", "8 Bits", nullptr};
const char* const parities[] = {"None", "Odd", "Even", "Mark", "Space", nullptr};
const char* const stopBits[] = {"1 Bit", "1.5 Bits", "2 Bits", nullptr};
const ListItems portList(IDC_LS_PORT, portNames, 0);
const ListItems baudList(IDC_LS_BAUD, baudLabels, 0);
const ListItems dataList(IDC_LS_DATA_BITS, dataBits, 0);
const ListItems parityList(IDC_LS_PARITY, parities, 0);
const ListItems stopList(IDC_LS_STOP_BITS, stopBits, 0);
const ControlDescriptor* const settingsList[] = {&portList, &baudList, &dataList, &parityList, &stopList, nullptr};

HANDLE shownIcon(HWND button) { return reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)); }

}  // namespace

TEST(ProgramDialogs, MonitorWindowControlsWorkAsTheWindowUsesThem)
{
    ReportingDialog d(IDD_MONITOR, monitorList);
    for (int id : {IDC_PANE, IDC_LOG_PATH, IDC_SEND_TEXT}) EXPECT_NE(d.wrapper<EditWrapper>(id), nullptr) << id;
    for (int id : {IDC_LOG_CHECK, IDC_COMM_CHECK}) EXPECT_NE(d.wrapper<CheckBoxWrapper>(id), nullptr) << id;
    for (int id : {IDC_PORT_EDIT, IDC_LOG_SELECT, IDC_SEND, IDCANCEL})
        EXPECT_NE(d.wrapper<PushButtonWrapper>(id), nullptr) << id;
    EXPECT_NE(d.wrapper<StaticIconWrapper>(IDC_INDICATOR), nullptr);

    // The two "..." buttons show icon 107, also while disabled.
    auto* dots = d.wrapper<PushButtonWrapper>(IDC_PORT_EDIT);
    ASSERT_NE(dots->image(), nullptr);
    EXPECT_EQ(shownIcon(d.item(IDC_PORT_EDIT)), dots->image());
    EXPECT_EQ(shownIcon(d.item(IDC_LOG_SELECT)), d.wrapper<PushButtonWrapper>(IDC_LOG_SELECT)->image());
    d.enable(IDC_PORT_EDIT, false, -1);
    EXPECT_FALSE(IsWindowEnabled(d.item(IDC_PORT_EDIT)));
    EXPECT_EQ(shownIcon(d.item(IDC_PORT_EDIT)), dots->image());

    // The lamp takes icons by id; the check boxes take states silently.
    d.setInt(IDC_INDICATOR, IDI_LAMP_ON, -1);
    HANDLE lamp = d.wrapper<StaticIconWrapper>(IDC_INDICATOR)->image();
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(d.item(IDC_INDICATOR), STM_GETIMAGE, IMAGE_ICON, 0)), lamp);
    d.setInt(IDC_COMM_CHECK, 1, -1);
    EXPECT_EQ(SendMessageA(d.item(IDC_COMM_CHECK), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(d.reports.empty());

    // The pane takes the whole text; the log path shows what is set.
    std::string paneText = "[10:00:00.000] On\r\n[10:00:00.100] data";
    d.setText(IDC_PANE, paneText.c_str(), -1);
    EXPECT_EQ(windowText(d.item(IDC_PANE)), paneText);
    d.setText(IDC_LOG_PATH, "C:\\logs\\rs485log.txt", -1);
    EXPECT_EQ(windowText(d.item(IDC_LOG_PATH)), "C:\\logs\\rs485log.txt");
    EXPECT_TRUE(d.reports.empty());

    // A click on "Log to Disk" reports the new state.
    SendMessageA(d.item(IDC_LOG_CHECK), BM_CLICK, 0, 0);
    auto s = d.of("selection", IDC_LOG_CHECK);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].b, 1);
}

TEST(ProgramDialogs, TheSendLineCommitsBeforeSendIsClicked)
{
    ReportingDialog d(IDD_MONITOR, monitorList);
    HWND send = d.item(IDC_SEND_TEXT);
    SetFocus(send);
    for (char c : std::string("PING")) SendMessageA(send, WM_CHAR, c, 1);
    SendMessageA(d.item(IDC_SEND), BM_CLICK, 0, 0);
    pumpDialogs(20);
    ASSERT_EQ(d.reports.size(), 2u);
    EXPECT_EQ(d.reports[0].what, "value");
    EXPECT_EQ(d.reports[0].id, IDC_SEND_TEXT);
    EXPECT_EQ(d.reports[0].text, "PING");
    EXPECT_EQ(d.reports[1].what, "command");
    EXPECT_EQ(d.reports[1].id, IDC_SEND);
}

TEST(ProgramDialogs, LineSettingsShowAndReportTheValues)
{
    ReportingDialog d(IDD_LINE_SETTINGS, settingsList);
    HWND port = d.item(IDC_LS_PORT);
    EXPECT_EQ(windowText(port), "COM1");
    EXPECT_NE(d.wrapper<ComboBoxWrapper>(IDC_LS_PORT)->innerEdit(), nullptr);
    EXPECT_EQ(d.wrapper<ComboBoxWrapper>(IDC_LS_PARITY)->innerEdit(), nullptr);

    d.setText(IDC_LS_BAUD, "9600", -1);
    EXPECT_EQ(SendMessageA(d.item(IDC_LS_BAUD), CB_GETCURSEL, 0, 0), 3);
    d.setText(IDC_LS_BAUD, "14400", -1);  // not in the table: the field stays empty
    EXPECT_EQ(windowText(d.item(IDC_LS_BAUD)), "");
    d.setText(IDC_LS_DATA_BITS, "8 Bits", -1);
    EXPECT_EQ(SendMessageA(d.item(IDC_LS_DATA_BITS), CB_GETCURSEL, 0, 0), 4);
    d.setInt(IDC_LS_PARITY, 2, -1);
    EXPECT_EQ(windowText(d.item(IDC_LS_PARITY)), "Even");
    d.setInt(IDC_LS_STOP_BITS, 0, -1);
    EXPECT_EQ(windowText(d.item(IDC_LS_STOP_BITS)), "1 Bit");
    d.setInt(IDC_LS_TIMEOUT, 100, -1);
    EXPECT_EQ(windowText(d.item(IDC_LS_TIMEOUT)), "100");
    d.setText(IDC_LS_PORT, "COM12", -1);
    EXPECT_EQ(windowText(port), "");
    EXPECT_TRUE(d.reports.empty());

    // Typing a port name reports the field's text.
    HWND portEdit = d.wrapper<ComboBoxWrapper>(IDC_LS_PORT)->innerEdit()->window();
    SetFocus(portEdit);
    for (char c : std::string("COM12")) SendMessageA(portEdit, WM_CHAR, c, 1);
    auto values = d.of("value", IDC_LS_PORT);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.back().text, "COM12");
    EXPECT_EQ(values.back().a, -1);

    // Choosing a stop-bit entry reports its index, then its text.
    d.forget();
    SetFocus(d.item(IDC_LS_STOP_BITS));
    SendMessageA(d.item(IDC_LS_STOP_BITS), WM_KEYDOWN, VK_DOWN, 1);
    auto s = d.of("selection", IDC_LS_STOP_BITS);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].a, 1);
    EXPECT_EQ(d.of("value", IDC_LS_STOP_BITS).at(0).text, "1.5 Bits");

    // The time-out field commits when Enter is pressed in it.
    d.forget();
    HWND timeout = d.item(IDC_LS_TIMEOUT);
    SetFocus(timeout);
    SendMessageA(timeout, EM_SETSEL, 0, -1);
    for (char c : std::string("250")) SendMessageA(timeout, WM_CHAR, c, 1);
    PostMessageA(timeout, WM_KEYDOWN, VK_RETURN, 1);
    pumpDialogs(50);
    values = d.of("value", IDC_LS_TIMEOUT);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].text, "250");
    EXPECT_EQ(values[0].a, 3);
}
