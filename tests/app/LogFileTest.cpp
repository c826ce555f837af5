// The log file on its own: the blank rule, the names it proposes, text-mode appending, flushing
// and noticing a device that refuses the writes.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "ScratchFolder.h"
#include "app/LogFile.h"
#include "settings/ProgramPath.h"

TEST(LogFile, BlankPaths)
{
    EXPECT_TRUE(LogFile::IsBlankPath(nullptr));
    EXPECT_TRUE(LogFile::IsBlankPath(""));
    EXPECT_TRUE(LogFile::IsBlankPath(" , \t\r\n,,"));
    EXPECT_FALSE(LogFile::IsBlankPath(" a "));
    EXPECT_FALSE(LogFile::IsBlankPath(",;"));
    EXPECT_FALSE(LogFile::IsBlankPath("."));
}

TEST(LogFile, DefaultNameInTheProgramFolder)
{
    char path[LogFile::kPathSize];
    LogFile::DefaultPath(path);
    std::string expected = std::string(ProgramPath::ProgramFolder(ProgramPath::kDrive | ProgramPath::kDirectory)) +
                           "rs485log.txt";
    EXPECT_EQ(std::string(path), expected);
}

TEST(LogFile, TxtIsAddedOnlyWhenTheExtensionIsBlank)
{
    auto chosen = [](const char* name) {
        char path[LogFile::kPathSize];
        std::strcpy(path, name);
        LogFile::WithDefaultExtension(path);
        return std::string(path);
    };
    EXPECT_EQ(chosen("C:\\logs\\capture"), "C:\\logs\\capture.txt");
    EXPECT_EQ(chosen("C:\\logs.d\\capture"), "C:\\logs.d\\capture.txt") << "a dot in a folder is no extension";
    EXPECT_EQ(chosen("C:\\logs\\capture."), "C:\\logs\\capture.") << "a final dot stays, no .txt";
    EXPECT_EQ(chosen("C:\\logs\\capture.log"), "C:\\logs\\capture.log");
    EXPECT_EQ(chosen("capture"), "capture.txt");

    // Bounded to 255 characters.
    std::string longName = "C:\\" + std::string(250, 'n');
    std::string result = chosen(longName.c_str());
    EXPECT_EQ(result.size(), 255u);
    EXPECT_EQ(result.substr(0, 253), longName);
    EXPECT_EQ(result.substr(253), ".t");
}

TEST(LogFile, AppendsInTextModeAndFlushesWhatWasWritten)
{
    ScratchFolder folder("logfile");
    const std::string name = folder.file("a.txt");
    ASSERT_TRUE(ScratchFolder::write(name, "before\r\n"));

    LogFile log;
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.WriteLine("nowhere"));
    EXPECT_FALSE(log.Open(" , "));
    ASSERT_TRUE(log.Open(name.c_str()));
    EXPECT_TRUE(log.IsOpen());
    EXPECT_TRUE(log.FlushIfWritten()) << "nothing to write out";
    EXPECT_TRUE(log.WriteLine("12:00:00.000: one"));
    EXPECT_EQ(ScratchFolder::read(name), "before\r\n") << "buffered until flushed";
    EXPECT_TRUE(log.FlushIfWritten());
    EXPECT_EQ(ScratchFolder::read(name), "before\r\n12:00:00.000: one\r\n");
    EXPECT_TRUE(log.WriteLine("a\nb\x01z"));
    EXPECT_TRUE(log.Close());
    EXPECT_FALSE(log.IsOpen());
    EXPECT_TRUE(log.Close()) << "closing twice is harmless";
    EXPECT_EQ(ScratchFolder::read(name), "before\r\n12:00:00.000: one\r\na\r\nb\x01z\r\n");

    // A second period appends.
    ASSERT_TRUE(log.Open(name.c_str()));
    EXPECT_TRUE(log.WriteLine("two"));
    EXPECT_TRUE(log.Close());
    EXPECT_EQ(ScratchFolder::read(name), "before\r\n12:00:00.000: one\r\na\r\nb\x01z\r\ntwo\r\n");

    EXPECT_FALSE(log.Open(folder.file("missing\\x.txt").c_str()));
    EXPECT_FALSE(log.IsOpen());
}

TEST(LogFile, FullDeviceIsNoticed)
{
    LogFile log;
    ASSERT_TRUE(log.Open("Z:\\dev\\full"));
    log.WriteLine("lost");  // buffered: may not fail yet
    EXPECT_FALSE(log.FlushIfWritten());
    EXPECT_FALSE(log.WriteLine("more")) << "the stream stays failed";
    EXPECT_FALSE(log.Close());
    EXPECT_FALSE(log.IsOpen());

    // A line longer than the buffer fails at once.
    ASSERT_TRUE(log.Open("Z:\\dev\\full"));
    EXPECT_FALSE(log.WriteLine(std::string(20000, 'x').c_str()));
    EXPECT_FALSE(log.Close());
}
