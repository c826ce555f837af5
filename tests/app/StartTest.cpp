// First start: the window as resource 101 and the settings file leave it.
#include <gtest/gtest.h>
#include <cstdio>
#include "LampColor.h"
#include "MonitorProcess.h"
#include "ScratchFolder.h"
#include "serial/CommCfg.h"
#include "support/Bench.h"

TEST(Start, FirstStartWithoutSettingsFile)
{
    ScratchFolder folder("first");
    MonitorProcess program(folder.path());
    ASSERT_TRUE(program.start()) << program.failure();

    EXPECT_EQ(program.paneText(), "");
    EXPECT_EQ(program.text(1001), CommCfg().Describe()) << "the default port description";
    EXPECT_EQ(program.text(1010), "");
    EXPECT_EQ(program.text(1014), "");

    EXPECT_TRUE(program.menuChecked(40006)) << "Normal Format";
    EXPECT_FALSE(program.menuChecked(40007));
    EXPECT_FALSE(program.menuChecked(40017));
    EXPECT_FALSE(program.menuChecked(40018));
    EXPECT_TRUE(program.menuChecked(40012)) << "Comm Off";
    EXPECT_FALSE(program.menuChecked(40011));
    EXPECT_TRUE(program.menuChecked(40010)) << "Log Off";
    EXPECT_FALSE(program.menuChecked(40009));
    EXPECT_FALSE(program.menuGrayed(40004));
    EXPECT_FALSE(program.menuGrayed(40008));

    EXPECT_FALSE(program.checked(1007));
    EXPECT_FALSE(program.checked(1003));
    EXPECT_TRUE(program.enabled(1002));
    EXPECT_TRUE(program.enabled(1005));
    EXPECT_TRUE(program.enabled(1010));
    EXPECT_EQ(program.menuState(40999), -1) << "an item the menu does not have";

    bench::pump(300);  // a few ticks
    Lamp lamp = classifyLamp(program.lampPixel());
    EXPECT_EQ(lamp, Lamp::Dark) << lampName(lamp) << " pixel 0x" << std::hex << program.lampPixel();

    // Message 1025 from anyone else, with an address that is not the sink's block, is ignored.
    PostMessageA(program.window(), WM_USER + 1, 0, 0);
    PostMessageA(program.window(), WM_USER + 1, 0, LPARAM(0x12345670));
    bench::pump(200);
    EXPECT_TRUE(program.running());
    EXPECT_EQ(program.paneText(), "");

    // Menu states come only from the probe this driver hooked in: the program has no such entry.
    program.detachProbe();
    EXPECT_EQ(program.menuState(40012), -1);

    // The close box leaves without writing a settings file.
    PostMessageA(program.window(), WM_CLOSE, 0, 0);
    DWORD code = 99;
    ASSERT_TRUE(program.waitExit(10000, &code));
    EXPECT_EQ(code, 0u);
    bool exists = true;
    ScratchFolder::read(folder.file("Tavrenix.def"), &exists);
    EXPECT_FALSE(exists);
}
