#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include "settings/ProgramPath.h"

TEST(ProgramPath, SplitsIntoFourParts)
{
    ProgramPath p("C:\\Tools\\bin\\Tavrenix.exe", false);
    EXPECT_STREQ(p.Drive(), "C:");
    EXPECT_STREQ(p.Directory(), "\\Tools\\bin\\");
    EXPECT_STREQ(p.FileName(), "Tavrenix");
    EXPECT_STREQ(p.Extension(), ".exe");
}

TEST(ProgramPath, ComposesPartsChosenByFlags)
{
    ProgramPath p("D:/logs/cap.old.txt", false);
    EXPECT_STREQ(p.Compose(0), "");
    EXPECT_STREQ(p.Compose(1), "D:");
    EXPECT_STREQ(p.Compose(2), "/logs/");
    EXPECT_STREQ(p.Compose(4), "cap.old");
    EXPECT_STREQ(p.Compose(8), ".txt");
    EXPECT_STREQ(p.Compose(3), "D:/logs/");
    EXPECT_STREQ(p.Compose(7), "D:/logs/cap.old");
    EXPECT_STREQ(p.Compose(12), "cap.old.txt");
    EXPECT_STREQ(p.Compose(9), "D:.txt");
    EXPECT_STREQ(p.Compose(15), "D:/logs/cap.old.txt");
}

TEST(ProgramPath, ExtensionComesFromTheLastComponentOnly)
{
    ProgramPath p("C:\\dir.d\\capture", false);
    EXPECT_STREQ(p.Directory(), "\\dir.d\\");
    EXPECT_STREQ(p.FileName(), "capture");
    EXPECT_STREQ(p.Extension(), "");
    p.Split("C:\\dir\\capture.", false);  // a trailing dot is an extension of its own
    EXPECT_STREQ(p.FileName(), "capture");
    EXPECT_STREQ(p.Extension(), ".");
    p.Split("relative\\name.log", false);
    EXPECT_STREQ(p.Drive(), "");
    EXPECT_STREQ(p.Compose(7), "relative\\name");
    p.Split("plain", false);
    EXPECT_STREQ(p.Compose(15), "plain");
    EXPECT_STREQ(p.Directory(), "");
    p.Split("", false);
    EXPECT_STREQ(p.Compose(15), "");
    p.Split(nullptr, false);
    EXPECT_STREQ(p.Compose(15), "");
}

TEST(ProgramPath, FullFlagMakesThePathAbsolute)
{
    char cwd[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(sizeof cwd, cwd), 0u);
    std::string folder = cwd;
    if (folder.back() != '\\') folder += '\\';
    ProgramPath full("sub\\file.def", true);
    EXPECT_EQ(std::string(full.Compose(15)), folder + "sub\\file.def");
    EXPECT_STREQ(full.FileName(), "file");
    ProgramPath unchanged("sub\\file.def", false);
    EXPECT_STREQ(unchanged.Compose(15), "sub\\file.def");
}

TEST(ProgramPath, LongPathsAreCutNotOverrun)
{
    std::string longDir = "C:\\" + std::string(300, 'd') + "\\";
    std::string path = longDir + "name.ext";
    ProgramPath p(path.c_str(), false);  // only the first 259 characters are taken
    EXPECT_STREQ(p.Drive(), "C:");
    EXPECT_STREQ(p.Directory(), "\\");  // the later separator lies beyond the kept text
    EXPECT_EQ(std::string(p.FileName()), std::string(255, 'd'));  // cut to its field
    // A path cut inside its last component keeps what fits, here a lone dot.
    std::string parts = "C:\\" + std::string(200, 'a') + "\\" + std::string(54, 'b') + ".x";
    p.Split(parts.c_str(), false);
    EXPECT_STREQ(p.Extension(), ".");
    EXPECT_EQ(std::string(p.Compose(15)), parts.substr(0, 259));
}

TEST(ProgramPath, ProgramFolderIsTheFolderOfTheRunningProgram)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    ASSERT_GT(n, 0u);
    std::string expected(module);
    expected.erase(expected.find_last_of("\\/") + 1);
    EXPECT_EQ(std::string(ProgramPath::ProgramFolder(3)), expected);
    EXPECT_EQ(expected.back(), '\\');
    EXPECT_STREQ(ProgramPath::ProgramFolder(12), "test_settings.exe");
    EXPECT_EQ(std::string(ProgramPath::ProgramFolder(15)), std::string(module));
}
