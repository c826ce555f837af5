#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "serial/CommPort.h"
#include "settings/CompoundFile.h"

#include "TempFolder.h"

TEST(CommPortSettings, SavesTheLiveRecordAsOneStream)
{
    TempFolder dir;
    CompoundFile file;
    ASSERT_TRUE(file.Create(dir.File("port.def").c_str()));
    SharedRef<StorageNode> root = file.Root();
    CommPort port;
    port.Settings().baudRate = 38400;
    ASSERT_TRUE(port.SaveSettings(*root));
    SharedRef<NameList> streams = root->ListStreams(nullptr);
    ASSERT_EQ(streams->Count(), 1);
    EXPECT_STREQ(streams->Item(0), "CommCfgDef");
    SharedRef<StreamNode> s = root->OpenStream("CommCfgDef");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Size(), 60);
    CommCfg back;
    EXPECT_EQ(s->Read(&back, sizeof back), 60u);
    EXPECT_EQ(std::memcmp(&back, &port.Settings(), 60), 0);
    s.reset();

    CommPort other;
    ASSERT_TRUE(other.LoadSettings(*root));
    EXPECT_EQ(other.Settings().baudRate, 38400);
    // Saving again replaces the stream.
    port.Settings().baudRate = 1200;
    ASSERT_TRUE(port.SaveSettings(*root));
    ASSERT_TRUE(other.LoadSettings(*root));
    EXPECT_EQ(other.Settings().baudRate, 1200);
}

TEST(CommPortSettings, LoadWithoutTheStreamChangesNothing)
{
    TempFolder dir;
    CompoundFile file;
    ASSERT_TRUE(file.Create(dir.File("none.def").c_str()));
    SharedRef<StorageNode> root = file.Root();
    CommPort port;
    port.Settings().dataBits = 7;
    EXPECT_FALSE(port.LoadSettings(*root));
    EXPECT_EQ(port.Settings().dataBits, 7);
    EXPECT_STREQ(port.Settings().portName, "COM1");
    // A storage of that name is not the stream either.
    ASSERT_TRUE(root->CreateStorage("CommCfgDef"));
    EXPECT_FALSE(port.LoadSettings(*root));
}

TEST(CommPortSettings, LoadRepairsWhatTheStreamHolds)
{
    TempFolder dir;
    CompoundFile file;
    ASSERT_TRUE(file.Create(dir.File("repair.def").c_str()));
    SharedRef<StorageNode> root = file.Root();
    unsigned char bytes[60];
    std::memset(bytes, 0xFF, sizeof bytes);  // name unterminated, every number -1
    ASSERT_EQ(root->CreateStream("CommCfgDef")->Write(bytes, sizeof bytes), 60u);
    CommPort port;
    ASSERT_TRUE(port.LoadSettings(*root));
    const CommCfg& c = port.Settings();
    EXPECT_EQ(std::strlen(c.portName), 39u);
    EXPECT_EQ(c.baudRate, 9600);
    EXPECT_EQ(c.parity, 0);
    EXPECT_EQ(c.dataBits, 8);
    EXPECT_EQ(c.stopBits, 0);
    EXPECT_EQ(c.rxTimeoutMs, 100);
}
