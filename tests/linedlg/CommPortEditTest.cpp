#include <gtest/gtest.h>
#include <cstring>
#include <mutex>
#include <string>
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "serial/CommPort.h"
#include "serial/CommSink.h"
#include "settings/SettingsFile.h"
#include "support/Bench.h"
#include "tests/linedlg/DialogDriver.h"

namespace {

constexpr const char* kCaption = "Serial Communications Settings";

// Collects what the receiver hands over, on its thread.
class CollectingSink : public CommSink {
public:
    void OnData(const char* bytes, int32_t count) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        data_.append(bytes, size_t(count));
    }
    void OnStatus(int32_t, const char* text) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        status_ = text;
    }
    std::string Data()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return data_;
    }
    std::string Status()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return status_;
    }

private:
    std::mutex mutex_;
    std::string data_;
    std::string status_;
};

bool editWith(CommPort& port, Dialog& owner, std::function<void(DialogDriver&, HWND)> script)
{
    return DialogDriver::Drive(kCaption, [&] { return port.EditSettings(owner); }, script);
}

std::string tempFile(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

}  // namespace

TEST(EditSettings, ATypedCom12IsWhatTheNextOpenUses)
{
    Dialog owner(IDD_MONITOR, nullptr, nullptr, false, false);
    CommPort port;
    std::strcpy(port.Settings().portName, bench::kLinePort);  // COM5
    ASSERT_TRUE(port.Open()) << port.ErrorText();

    EXPECT_TRUE(editWith(port, owner, [](DialogDriver& d, HWND dlg) {
        d.Type(dlg, IDC_LS_PORT, "COM12");
        d.Click(dlg, IDOK);
    }));
    EXPECT_STREQ(port.Settings().portName, "COM12");
    EXPECT_FALSE(port.IsOpen());  // closed, so that the next open takes the new name
    HANDLE old = bench::openRaw(bench::kLinePort);
    EXPECT_NE(old, INVALID_HANDLE_VALUE) << "COM5 is still held";
    if (old != INVALID_HANDLE_VALUE) CloseHandle(old);

    // Comm On: the receiver reads COM12, so what the farEnd end COM13 sends arrives.
    HANDLE farEnd = bench::openRaw("COM13");
    ASSERT_NE(farEnd, INVALID_HANDLE_VALUE);
    bench::drain(farEnd);
    CollectingSink sink;
    ASSERT_TRUE(port.Purge()) << port.ErrorText();
    port.StartReceive(&sink, 0, 0);
    EXPECT_TRUE(port.IsOpen());
    const char text[] = "on COM12";
    ASSERT_TRUE(bench::writeAll(farEnd, text, sizeof text - 1));
    EXPECT_TRUE(bench::pumpUntil([&] { return sink.Data() == text; }, 5000)) << sink.Data() << sink.Status();
    EXPECT_EQ(sink.Status(), "");

    // Reopened: the name is in no list entry, so the field is empty; OK keeps the name.
    ASSERT_TRUE(port.Purge());
    std::string shown = "?";
    int selection = 0;
    EXPECT_TRUE(editWith(port, owner, [&](DialogDriver& d, HWND dlg) {
        shown = d.Text(d.Item(dlg, IDC_LS_PORT));
        selection = d.Selection(d.Item(dlg, IDC_LS_PORT));
        d.Click(dlg, IDOK);
    }));
    EXPECT_EQ(shown, "");
    EXPECT_EQ(selection, -1);
    EXPECT_STREQ(port.Settings().portName, "COM12");
    EXPECT_FALSE(port.IsOpen());
    CloseHandle(farEnd);
}

TEST(EditSettings, CancelLeavesSettingsAndDeviceAsTheyWere)
{
    Dialog owner(IDD_MONITOR, nullptr, nullptr, false, false);
    CommPort port;
    std::strcpy(port.Settings().portName, bench::kLinePort);
    ASSERT_TRUE(port.Open()) << port.ErrorText();
    HANDLE device = port.Device();
    const CommCfg before = port.Settings();

    EXPECT_FALSE(editWith(port, owner, [](DialogDriver& d, HWND dlg) {
        d.Type(dlg, IDC_LS_PORT, "COM12");
        d.Choose(dlg, IDC_LS_BAUD, 0);
        d.Choose(dlg, IDC_LS_PARITY, 1);
        d.Type(dlg, IDC_LS_TIMEOUT, "20");
        d.Click(dlg, IDCANCEL);
    }));
    EXPECT_EQ(std::memcmp(&port.Settings(), &before, sizeof before), 0);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Device(), device);

    // The device still works as it did: a write reaches the farEnd end.
    HANDLE farEnd = bench::openRaw(bench::kFarPort);
    ASSERT_NE(farEnd, INVALID_HANDLE_VALUE);
    bench::drain(farEnd);
    ASSERT_TRUE(port.Write("ping", 4)) << port.ErrorText();
    std::string got;
    bench::pumpUntil(
        [&] {
            char buf[16];
            DWORD n = 0;
            if (ReadFile(farEnd, buf, sizeof buf, &n, nullptr)) got.append(buf, n);
            return got.size() >= 4;
        },
        3000);
    EXPECT_EQ(got, "ping");
    CloseHandle(farEnd);
}

// Values from the settings file go through the same rules as the dialog's: a rate outside the
// table is kept (the field shows nothing), an unusable time-out is the default 100.
TEST(EditSettings, ValuesFromTheSettingsFileFollowTheDialogsRules)
{
    const std::string path = tempFile("linedlg-settings.def");
    char logPath[256] = "log.txt";
    {
        CommPort saved;
        saved.Settings().baudRate = 14400;
        saved.Settings().rxTimeoutMs = 0;
        ASSERT_TRUE(SettingsFile::Save(path.c_str(), logPath, 2, saved));
    }
    Dialog owner(IDD_MONITOR, nullptr, nullptr, false, false);
    CommPort port;
    int32_t format = 0;
    ASSERT_TRUE(SettingsFile::Load(path.c_str(), logPath, format, port));
    EXPECT_EQ(port.Settings().baudRate, 14400);
    EXPECT_EQ(port.Settings().rxTimeoutMs, 100);

    std::string baud = "?", timeout;
    EXPECT_TRUE(editWith(port, owner, [&](DialogDriver& d, HWND dlg) {
        baud = d.Text(d.Item(dlg, IDC_LS_BAUD));
        timeout = d.Text(d.Item(dlg, IDC_LS_TIMEOUT));
        d.Choose(dlg, IDC_LS_STOP_BITS, 2);
        d.Click(dlg, IDOK);
    }));
    EXPECT_EQ(baud, "");
    EXPECT_EQ(timeout, "100");
    EXPECT_EQ(port.Settings().baudRate, 14400);
    EXPECT_EQ(port.Settings().stopBits, TWOSTOPBITS);
    EXPECT_EQ(port.Settings().rxTimeoutMs, 100);
    DeleteFileA(path.c_str());
}
