#include <gtest/gtest.h>
#include "framework/UniqueHandle.h"

namespace {
DWORD handleCount()
{
    DWORD n = 0;
    GetProcessHandleCount(GetCurrentProcess(), &n);
    return n;
}
}  // namespace

TEST(UniqueHandle, ClosesOnceAndMovesOwnership)
{
    DWORD before = handleCount();
    {
        UniqueHandle a(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        ASSERT_TRUE(a);
        UniqueHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        EXPECT_EQ(handleCount(), before + 1);
        b = UniqueHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        EXPECT_EQ(handleCount(), before + 1);
    }
    EXPECT_EQ(handleCount(), before);
}

TEST(UniqueHandle, InvalidValueIsEmptyForFiles)
{
    UniqueFileHandle f(CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(f);
    UniqueHandle n;
    EXPECT_FALSE(n);
}
