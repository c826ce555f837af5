#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "serial/CommNotice.h"
#include "serial/CommSink.h"

TEST(CommNotice, DataIsCutTo1023BytesAndTerminated)
{
    CommNotice n;
    std::memset(&n, 0x55, sizeof n);
    std::string chunk(1500, 'q');
    chunk[0] = '\0';
    chunk[1022] = 'L';
    n.SetData(chunk.data(), 1500);
    EXPECT_EQ(n.code, CommSink::kCodeData);
    EXPECT_EQ(n.length, 1023);
    EXPECT_EQ(n.text[0], '\0') << "a NUL byte is data";
    EXPECT_EQ(n.text[1022], 'L');
    EXPECT_EQ(n.text[1023], '\0');
    EXPECT_EQ(std::memcmp(n.text + 1, chunk.data() + 1, 1021), 0);

    n.SetData("abc", 3);
    EXPECT_EQ(n.length, 3);
    EXPECT_STREQ(n.text, "abc");
    n.SetData(nullptr, 9);
    EXPECT_EQ(n.length, 0);
    EXPECT_STREQ(n.text, "");
}

TEST(CommNotice, StatusTextIsBounded)
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
    EXPECT_EQ(sizeof n, 1032u);
}
