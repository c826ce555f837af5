// The notice block carries a whole chunk of the receiver's largest read, and bounded failure texts.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "serial/CommNotice.h"
#include "serial/CommReceiver.h"
#include "serial/CommSink.h"

TEST(CommNotice, HoldsTheLargestReadWhole)
{
    CommNotice n;
    std::memset(&n, 0x55, sizeof n);
    std::string chunk(CommReceiver::kBufferSize, 'q');
    chunk[0] = '\0';
    chunk[1023] = 'M';
    chunk.back() = 'Z';
    n.SetData(chunk.data(), int32_t(chunk.size()));
    EXPECT_EQ(n.code, CommSink::kCodeData);
    EXPECT_EQ(n.length, CommReceiver::kBufferSize);
    EXPECT_EQ(std::memcmp(n.text, chunk.data(), chunk.size()), 0) << "a NUL byte is data, byte 1023 is kept";
    EXPECT_EQ(n.text[chunk.size()], '\0');

    // Never past the block, whatever a caller hands over.
    std::string more(CommReceiver::kBufferSize + 500, 'x');
    n.SetData(more.data(), int32_t(more.size()));
    EXPECT_EQ(n.length, CommNotice::kTextSize - 1);
    EXPECT_EQ(n.text[CommNotice::kTextSize - 1], '\0');
    n.SetData(nullptr, 5);
    EXPECT_EQ(n.length, 0);
    n.SetData("abc", -1);
    EXPECT_EQ(n.length, 0);
    EXPECT_STREQ(n.text, "");
    n.SetData("abc", 3);
    EXPECT_EQ(n.length, 3);
    EXPECT_STREQ(n.text, "abc");
}

TEST(CommNotice, StatusTextsAreBounded)
{
    CommNotice n;
    n.SetData("xyz", 3);
    n.SetStatus(CommSink::kCodeFailure, "Comm Line error:(80).");
    EXPECT_EQ(n.code, 4);
    EXPECT_EQ(n.length, 0);
    EXPECT_STREQ(n.text, "Comm Line error:(80).");
    std::string longText(3000, 'e');
    n.SetStatus(4, longText.c_str());
    EXPECT_EQ(std::strlen(n.text), 1023u);
    n.SetStatus(4, nullptr);
    EXPECT_STREQ(n.text, "");
}
