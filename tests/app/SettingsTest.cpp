// Leaving the program: Exit writes Tavrenix.def and the next start shows it; the close box and
// Esc do not write it.
#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include "MonitorProcess.h"
#include "ScratchFolder.h"
#include "serial/CommCfg.h"
#include "serial/CommPort.h"
#include "settings/SettingsFile.h"
#include "support/Bench.h"

TEST(Settings, ExitSavesAndTheNextStartShowsThem)
{
    ScratchFolder folder("exit");
    const std::string def = folder.file("Tavrenix.def");
    ASSERT_TRUE(MonitorProcess::writeSettings(folder.path(), "COM7", 250, "", 0));
    const std::string written = ScratchFolder::read(def);
    ASSERT_FALSE(written.empty());

    const std::string log = folder.file("saved log.txt");
    {
        MonitorProcess program(folder.path());
        ASSERT_TRUE(program.start()) << program.failure();
        EXPECT_EQ(program.text(1001), MonitorProcess::describePort("COM7", 250));
        program.type(1010, log);
        program.leave();
        program.command(40017);
        // The close box: nothing is written.
        PostMessageA(program.window(), WM_CLOSE, 0, 0);
        DWORD code = 99;
        ASSERT_TRUE(program.waitExit(10000, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(ScratchFolder::read(def), written);
    }
    {
        MonitorProcess program(folder.path());
        ASSERT_TRUE(program.start()) << program.failure();
        EXPECT_EQ(program.text(1010), "");
        EXPECT_TRUE(program.menuChecked(40006));
        program.type(1010, log);
        program.leave();
        program.command(40018);
        // Esc reaches the hidden Cancel button: the same as the close box.
        PostMessageA(program.window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(program.control(IDCANCEL)));
        ASSERT_TRUE(program.waitExit(10000));
        EXPECT_EQ(ScratchFolder::read(def), written);
    }
    {
        MonitorProcess program(folder.path());
        ASSERT_TRUE(program.start()) << program.failure();
        program.type(1010, log);
        program.leave();
        program.command(40017);
        program.postCommand(40001);
        DWORD code = 99;
        ASSERT_TRUE(program.waitExit(10000, &code));
        EXPECT_EQ(code, 0u);
    }
    EXPECT_NE(ScratchFolder::read(def), written);

    // What Exit wrote, read back as the program reads it.
    CommPort port;
    char logPath[256];
    int32_t format = -1;
    ASSERT_TRUE(SettingsFile::Load(def.c_str(), logPath, format, port));
    EXPECT_EQ(std::string(logPath), log);
    EXPECT_EQ(format, 2);
    EXPECT_STREQ(port.Settings().portName, "COM7");
    EXPECT_EQ(port.Settings().rxTimeoutMs, 250);

    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();
    EXPECT_EQ(program.text(1010), log);
    EXPECT_TRUE(program.menuChecked(40017));
    EXPECT_FALSE(program.menuChecked(40006));
    EXPECT_EQ(program.text(1001), MonitorProcess::describePort("COM7", 250));
}

TEST(Settings, ExitWithoutSettingsFileWritesTheDefaults)
{
    ScratchFolder folder("exitnew");
    const std::string def = folder.file("Tavrenix.def");
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();
    program.postCommand(40001);
    ASSERT_TRUE(program.waitExit(10000));

    CommPort port;
    char logPath[256];
    int32_t format = -1;
    ASSERT_TRUE(SettingsFile::Load(def.c_str(), logPath, format, port));
    EXPECT_STREQ(logPath, "");
    EXPECT_EQ(format, 0);
    EXPECT_STREQ(port.Settings().portName, CommCfg().portName);
    EXPECT_EQ(port.Settings().rxTimeoutMs, CommCfg().rxTimeoutMs);
}
