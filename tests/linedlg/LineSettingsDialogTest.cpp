#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "framework/Dialog.h"
#include "framework/Value.h"
#include "resources/resource.h"
#include "serial/CommCfg.h"
#include "serial/LineSettingsDialog.h"
#include "tests/linedlg/DialogDriver.h"

namespace {

constexpr const char* kCaption = "Serial Communications Settings";

bool sameBytes(const CommCfg& a, const CommCfg& b) { return std::memcmp(&a, &b, sizeof(CommCfg)) == 0; }

std::vector<std::string> entries(HWND combo)
{
    std::vector<std::string> out;
    int n = int(DialogDriver::Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[64] = {};
        DialogDriver::Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        out.push_back(text);
    }
    return out;
}

// The main window stand-in that owns the dialog.
struct Owner {
    Dialog dialog{IDD_MONITOR, nullptr, nullptr, false, false};
};

// What the dialog's fields show.
struct Shown {
    std::string port, baud, dataBits, parity, stopBits, timeout;
    int portSel = -2, baudSel = -2;
};

Shown read(HWND dlg)
{
    using D = DialogDriver;
    Shown s;
    s.port = D::Text(D::Item(dlg, IDC_LS_PORT));
    s.baud = D::Text(D::Item(dlg, IDC_LS_BAUD));
    s.dataBits = D::Text(D::Item(dlg, IDC_LS_DATA_BITS));
    s.parity = D::Text(D::Item(dlg, IDC_LS_PARITY));
    s.stopBits = D::Text(D::Item(dlg, IDC_LS_STOP_BITS));
    s.timeout = D::Text(D::Item(dlg, IDC_LS_TIMEOUT));
    s.portSel = D::Selection(D::Item(dlg, IDC_LS_PORT));
    s.baudSel = D::Selection(D::Item(dlg, IDC_LS_BAUD));
    return s;
}

// Runs the dialog on cfg while script drives it; returns Run's answer.
bool runWith(CommCfg& cfg, Dialog& owner, std::function<void(DialogDriver&, HWND)> script)
{
    return DialogDriver::Drive(kCaption, [&] { return LineSettingsDialog::Run(cfg, owner); }, script);
}

}  // namespace

TEST(LineSettingsDialog, OpensOnDefaultsWithTheListsOfTheTables)
{
    Owner owner;
    CommCfg cfg;
    const CommCfg before = cfg;
    Shown shown;
    std::vector<std::string> ports, bauds, dataBits, parities, stopBits;
    bool ownerDisabled = false;
    bool ok = runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        shown = read(dlg);
        ports = entries(d.Item(dlg, IDC_LS_PORT));
        bauds = entries(d.Item(dlg, IDC_LS_BAUD));
        dataBits = entries(d.Item(dlg, IDC_LS_DATA_BITS));
        parities = entries(d.Item(dlg, IDC_LS_PARITY));
        stopBits = entries(d.Item(dlg, IDC_LS_STOP_BITS));
        ownerDisabled = !IsWindowEnabled(owner.dialog.hwnd());
        d.Click(dlg, IDCANCEL);
    });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(sameBytes(cfg, before));
    EXPECT_EQ(shown.port, "COM1");
    EXPECT_EQ(shown.baud, "9600");
    EXPECT_EQ(shown.dataBits, "8 Bits");
    EXPECT_EQ(shown.parity, "None");
    EXPECT_EQ(shown.stopBits, "1 Bit");
    EXPECT_EQ(shown.timeout, "100");
    EXPECT_EQ(ports, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4"}));
    EXPECT_EQ(bauds, (std::vector<std::string>{"1200", "2400", "4800", "9600", "19.2K", "38.4K", "57.6K", "115K"}));
    EXPECT_EQ(dataBits, (std::vector<std::string>{"4 Bits", "5 Bits", "6 Bits", "7 Bits", "8 Bits"}));
    EXPECT_EQ(parities, (std::vector<std::string>{"None", "Odd", "Even", "Mark", "Space"}));
    EXPECT_EQ(stopBits, (std::vector<std::string>{"1 Bit", "1.5 Bits", "2 Bits"}));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.dialog.hwnd()));
}

TEST(LineSettingsDialog, ChoicesAndTypedValuesAreWrittenBackOnOk)
{
    Owner owner;
    CommCfg cfg;
    bool ok = runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        d.Choose(dlg, IDC_LS_BAUD, 4);       // 19.2K
        d.Choose(dlg, IDC_LS_DATA_BITS, 3);  // 7 Bits
        d.Choose(dlg, IDC_LS_PARITY, 2);     // Even
        d.Choose(dlg, IDC_LS_STOP_BITS, 2);  // 2 Bits
        d.Choose(dlg, IDC_LS_PORT, 2);       // COM3
        d.Type(dlg, IDC_LS_TIMEOUT, "250");
        d.Click(dlg, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_STREQ(cfg.portName, "COM3");
    EXPECT_EQ(cfg.baudRate, 19200);
    EXPECT_EQ(cfg.dataBits, 7);
    EXPECT_EQ(cfg.parity, EVENPARITY);
    EXPECT_EQ(cfg.stopBits, TWOSTOPBITS);
    EXPECT_EQ(cfg.rxTimeoutMs, 250);
    EXPECT_STREQ(cfg.Describe(), "COM3  19200-E-7-2");
}

TEST(LineSettingsDialog, TypingIntoTheBaudFieldChangesNothing)
{
    Owner owner;
    CommCfg cfg;
    std::string typed;
    bool ok = runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        d.Type(dlg, IDC_LS_BAUD, "19200");
        typed = d.Text(d.Item(dlg, IDC_LS_BAUD));
        d.Click(dlg, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(typed, "19200");  // the field took the keys
    EXPECT_EQ(cfg.baudRate, 9600);

    // A choice from the list after typing does set the rate.
    ok = runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        d.Type(dlg, IDC_LS_BAUD, "300");
        d.Choose(dlg, IDC_LS_BAUD, 7);  // 115K
        d.Click(dlg, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(cfg.baudRate, 115200);
}

TEST(LineSettingsDialog, ARateOutsideTheTableShowsAnEmptyFieldAndStays)
{
    Owner owner;
    CommCfg cfg;
    cfg.baudRate = 14400;
    cfg.dataBits = 5;
    cfg.parity = MARKPARITY;
    cfg.stopBits = ONE5STOPBITS;
    Shown shown;
    bool ok = runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        shown = read(dlg);
        d.Click(dlg, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(shown.baud, "");
    EXPECT_EQ(shown.baudSel, -1);
    EXPECT_EQ(shown.dataBits, "5 Bits");
    EXPECT_EQ(shown.parity, "Mark");
    EXPECT_EQ(shown.stopBits, "1.5 Bits");
    EXPECT_EQ(cfg.baudRate, 14400);
    EXPECT_STREQ(cfg.Describe(), "COM1  14400-M-5-1.5");
}

TEST(LineSettingsDialog, ATypedPortNameIsKeptAndCutTo39Characters)
{
    Owner owner;
    CommCfg cfg;
    const std::string longName(45, 'P');
    bool ok = runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        d.Type(dlg, IDC_LS_PORT, longName.c_str());
        d.Click(dlg, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::string(cfg.portName), longName.substr(0, 39));

    // A name that is no list entry shows as an empty field; OK without touching it keeps it.
    std::strcpy(cfg.portName, "COM12");
    Shown shown;
    ok = runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        shown = read(dlg);
        d.Click(dlg, IDOK);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(shown.port, "");
    EXPECT_EQ(shown.portSel, -1);
    EXPECT_STREQ(cfg.portName, "COM12");
}

TEST(LineSettingsDialog, CancelEscAndTheCloseBoxChangeNothing)
{
    Owner owner;
    CommCfg cfg;
    std::strcpy(cfg.portName, "COM7");
    cfg.rxTimeoutMs = 40;
    const CommCfg before = cfg;
    auto changeAll = [](DialogDriver& d, HWND dlg) {
        d.Type(dlg, IDC_LS_PORT, "COM9");
        d.Choose(dlg, IDC_LS_BAUD, 0);
        d.Choose(dlg, IDC_LS_DATA_BITS, 0);
        d.Choose(dlg, IDC_LS_PARITY, 4);
        d.Choose(dlg, IDC_LS_STOP_BITS, 1);
        d.Type(dlg, IDC_LS_TIMEOUT, "900");
        d.Focus(dlg, IDC_LS_PARITY);  // the time-out field commits
    };
    EXPECT_FALSE(runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        changeAll(d, dlg);
        d.Click(dlg, IDCANCEL);
    }));
    EXPECT_TRUE(sameBytes(cfg, before));
    EXPECT_FALSE(runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        changeAll(d, dlg);
        d.PressKey(VK_ESCAPE);
    }));
    EXPECT_TRUE(sameBytes(cfg, before));
    EXPECT_FALSE(runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        changeAll(d, dlg);
        d.CloseBox(dlg);
    }));
    EXPECT_TRUE(sameBytes(cfg, before));
    EXPECT_TRUE(IsWindowEnabled(owner.dialog.hwnd()));
}

// A time-out the device cannot use (empty, zero, "Auto", beyond a minute) is shown and stored
// as the default; the field always shows what OK stores.
TEST(LineSettingsDialog, AnUnusableTimeOutBecomesTheDefaultTheFieldShows)
{
    Owner owner;
    struct Case {
        const char* typed;  // null: erase the field
        const char* shown;
        int32_t stored;
    };
    const Case cases[] = {
        {nullptr, "100", 100}, {"0", "100", 100},   {"60001", "100", 100},
        {"60000", "60000", 60000}, {"1", "1", 1}, {"0035", "35", 35},
    };
    for (const Case& c : cases) {
        CommCfg cfg;
        cfg.rxTimeoutMs = 500;
        std::string shown;
        bool ok = runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
            if (c.typed)
                d.Type(dlg, IDC_LS_TIMEOUT, c.typed);
            else
                d.Erase(dlg, IDC_LS_TIMEOUT);
            d.Focus(dlg, IDC_LS_PARITY);  // leaving the field commits it
            shown = d.Text(d.Item(dlg, IDC_LS_TIMEOUT));
            d.Click(dlg, IDOK);
        });
        const char* typed = c.typed ? c.typed : "(empty)";
        EXPECT_TRUE(ok) << typed;
        EXPECT_EQ(shown, c.shown) << typed;
        EXPECT_EQ(cfg.rxTimeoutMs, c.stored) << typed;
    }

    // Typed and left with OK at once (the click takes the focus from the field first).
    CommCfg cfg;
    EXPECT_TRUE(runWith(cfg, owner.dialog, [&](DialogDriver& d, HWND dlg) {
        d.Erase(dlg, IDC_LS_TIMEOUT);
        d.Click(dlg, IDOK);
    }));
    EXPECT_EQ(cfg.rxTimeoutMs, 100);

    // Settings that reach the dialog unusable ("Auto" among them) show the default, and OK stores it.
    for (int32_t bad : {int32_t(AutoValue), 0, -5, 2000000}) {
        CommCfg live;
        live.rxTimeoutMs = bad;
        std::string shown;
        EXPECT_TRUE(runWith(live, owner.dialog, [&](DialogDriver& d, HWND dlg) {
            shown = d.Text(d.Item(dlg, IDC_LS_TIMEOUT));
            d.Click(dlg, IDOK);
        }));
        EXPECT_EQ(shown, "100") << bad;
        EXPECT_EQ(live.rxTimeoutMs, 100) << bad;
    }
}
