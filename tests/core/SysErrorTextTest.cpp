#include <gtest/gtest.h>
#include <windows.h>
#include <cctype>
#include <cstring>
#include <string>
#include "serial/SysErrorText.h"

namespace {

std::string rawSystemText(DWORD code)
{
    char* msg = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0x0400, reinterpret_cast<LPSTR>(&msg), 0, nullptr);
    std::string s = msg ? msg : "";
    if (msg) LocalFree(msg);
    return s;
}

TEST(SysErrorText, SystemTextWithoutTrailingWhiteSpace)
{
    for (DWORD code : {DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_ACCESS_DENIED), DWORD(ERROR_OPERATION_ABORTED)}) {
        SysErrorText t(code);
        std::string raw = rawSystemText(code);
        ASSERT_FALSE(raw.empty()) << code;
        EXPECT_TRUE(t.FromSystem());
        std::string text = t.Text();
        ASSERT_FALSE(text.empty());
        EXPECT_FALSE(std::isspace(static_cast<unsigned char>(text.back()))) << "[" << text << "]";
        // The stripped text is the system's text up to its last non-blank character.
        EXPECT_EQ(raw.compare(0, text.size(), text), 0);
        EXPECT_EQ(raw.find_first_not_of(" \t\r\n", text.size()), std::string::npos);
    }
}

TEST(SysErrorText, FallbackWhenTheSystemHasNoText)
{
    SysErrorText t(0x2000FFFF);
    EXPECT_FALSE(t.FromSystem());
    EXPECT_STREQ(t.Text(), "Unknown error 0x2000FFFF");
    SysErrorText u(0xE0001234);
    EXPECT_STREQ(u.Text(), "Unknown error 0xE0001234");
}

TEST(SysErrorText, TextWithInsertsIsNotExpanded)
{
    // ERROR_WRONG_DISK carries inserts; it is kept as the system has it, or falls back.
    SysErrorText t(ERROR_WRONG_DISK);
    std::string raw = rawSystemText(ERROR_WRONG_DISK);
    if (raw.empty())
        EXPECT_STREQ(t.Text(), "Unknown error 0x00000022");
    else
        EXPECT_EQ(raw.compare(0, std::strlen(t.Text()), t.Text()), 0);
}

}  // namespace
