#include <gtest/gtest.h>
#include "framework/UniqueHandle.h"

#include "support/Bench.h"

TEST(UniqueHandle, ClosesOnceAndMovesOwnership)
{
    DWORD before = bench::handleProbe();
    {
        UniqueHandle a(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        ASSERT_TRUE(a);
        UniqueHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        EXPECT_GT(bench::handleProbe(), before);
        b = UniqueHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    }
    EXPECT_EQ(bench::handleProbe(), before);
}

TEST(UniqueHandle, InvalidValueIsEmptyForFiles)
{
    UniqueFileHandle f(CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(f);
    UniqueHandle n;
    EXPECT_FALSE(n);
}
