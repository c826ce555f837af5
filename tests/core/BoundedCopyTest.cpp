#include <gtest/gtest.h>
#include <cstring>
#include "framework/BoundedCopy.h"

TEST(BoundedCopy, CutsToCapacityAndAlwaysTerminates)
{
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    boundedCopy(buf, "0123456789");
    EXPECT_STREQ(buf, "0123456");
    boundedCopy(buf, "abc");
    EXPECT_STREQ(buf, "abc");
    boundedCopy(buf, nullptr);
    EXPECT_STREQ(buf, "");
    char one[1] = {'q'};
    boundedCopy(one, "abc");
    EXPECT_EQ(one[0], '\0');
}
