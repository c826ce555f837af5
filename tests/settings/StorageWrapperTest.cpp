#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>
#include "settings/CompoundFile.h"
#include "settings/StorageNode.h"
#include "settings/StreamNode.h"

#include "TempFolder.h"
#include "support/Bench.h"

namespace {

std::set<std::string> names(const SharedRef<NameList>& list)
{
    std::set<std::string> out;
    for (int32_t i = 0; i < list->Count(); ++i) out.insert(list->Item(i));
    return out;
}

bool isLowerHex(const std::string& s)
{
    return !s.empty() && s.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// True when nothing holds the file open any more: it can be opened exclusively.
bool fileIsFree(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

}  // namespace

TEST(CompoundFile, WritesAndReadsBackAStream)
{
    TempFolder dir;
    std::string path = dir.File("data.cf");
    {
        CompoundFile file;
        ASSERT_TRUE(file.Create(path.c_str())) << file.ErrorText();
        EXPECT_TRUE(file.IsOpen());
        SharedRef<StorageNode> root = file.Root();
        ASSERT_TRUE(root);
        EXPECT_STREQ(root->Name(), "");
        SharedRef<StreamNode> s = root->CreateStream("payload");
        ASSERT_TRUE(s) << root->ErrorText();
        EXPECT_EQ(s->Write("0123456789", 10), 10u);
        EXPECT_EQ(s->Size(), 10);
    }
    EXPECT_TRUE(fileIsFree(path));

    CompoundFile file;
    ASSERT_TRUE(file.OpenFile(path.c_str())) << file.ErrorText();
    SharedRef<StreamNode> s = file.Root()->OpenStream("payload");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Size(), 10);
    char buf[16] = {};
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(s->Read(buf, 16), 10u);  // a short stream gives what it has
    EXPECT_EQ(std::string(buf, 10), "0123456789");
    EXPECT_EQ(buf[10], '#');  // the rest of the target stays as it was
    EXPECT_EQ(s->Read(buf, 4), 0u);  // at the end
    EXPECT_TRUE(s->Seek(3));
    EXPECT_EQ(s->Read(buf, 2), 2u);
    EXPECT_EQ(std::string(buf, 2), "34");
    EXPECT_TRUE(s->Seek(0));
    EXPECT_EQ(s->Write("ab", 2), 2u);
    EXPECT_TRUE(s->Seek(0));
    EXPECT_EQ(s->Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), "ab2");
    EXPECT_STREQ(s->ErrorText(), "");
}

TEST(CompoundFile, OpeningAMissingFileFailsWithCodeAndText)
{
    TempFolder dir;
    std::string path = dir.File("absent.def");
    CompoundFile file;
    EXPECT_FALSE(file.OpenFile(path.c_str()));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Root());
    std::string text = file.ErrorText();
    std::size_t colon = text.find(':');
    ASSERT_NE(colon, std::string::npos) << text;
    EXPECT_TRUE(isLowerHex(text.substr(0, colon))) << text;
    EXPECT_EQ(text.substr(0, colon), "80030002") << text;  // the storage's "file not found"
    EXPECT_GT(text.size(), colon + 1) << "no text after the code: " << text;
    EXPECT_LE(text.size(), 82u);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);  // nothing was created
}

TEST(CompoundFile, RefusesEmptyOrOverlongPaths)
{
    CompoundFile file;
    EXPECT_FALSE(file.Create(""));
    EXPECT_EQ(std::string(file.ErrorText()).substr(0, 9), "800300fc:");
    EXPECT_FALSE(file.OpenFile(nullptr));
    std::string longPath = "C:\\" + std::string(300, 'x');
    EXPECT_FALSE(file.Create(longPath.c_str()));
    EXPECT_FALSE(file.IsOpen());
}

TEST(CompoundFile, IsSharedWithNobody)
{
    TempFolder dir;
    std::string path = dir.File("locked.def");
    CompoundFile first;
    ASSERT_TRUE(first.Create(path.c_str()));
    CompoundFile second;
    EXPECT_FALSE(second.OpenFile(path.c_str()));
    EXPECT_NE(std::strchr(second.ErrorText(), ':'), nullptr);
    EXPECT_FALSE(second.Create(path.c_str()));
    first.CloseFile();
    EXPECT_FALSE(first.IsOpen());
    EXPECT_FALSE(first.Root());
    EXPECT_TRUE(second.OpenFile(path.c_str())) << second.ErrorText();
}

TEST(CompoundFile, CreateReplacesTheFileAndReopeningReleasesTheOld)
{
    TempFolder dir;
    std::string a = dir.File("a.def");
    std::string b = dir.File("b.def");
    CompoundFile file;
    ASSERT_TRUE(file.Create(a.c_str()));
    ASSERT_TRUE(file.Root()->CreateStream("old"));
    ASSERT_TRUE(file.Create(b.c_str()));  // the first file's root is released first
    EXPECT_TRUE(fileIsFree(a));
    ASSERT_TRUE(file.Create(a.c_str()));
    EXPECT_EQ(file.Root()->ListStreams(nullptr)->Count(), 0);
    file.CloseFile();
    EXPECT_TRUE(fileIsFree(a));
    EXPECT_TRUE(fileIsFree(b));
}

TEST(CompoundFile, ANodeThatOutlivesItsFileFailsCleanly)
{
    TempFolder dir;
    std::string path = dir.File("outlived.def");
    SharedRef<StreamNode> stream;
    {
        CompoundFile file;
        ASSERT_TRUE(file.Create(path.c_str()));
        stream = file.Root()->CreateStream("s");
        ASSERT_TRUE(stream);
        EXPECT_EQ(stream->Write("xyz", 3), 3u);
    }
    // Closing the file reverts what was open inside it: every call fails with a code.
    char buf[4];
    EXPECT_EQ(stream->Write("abc", 3), 0u);
    EXPECT_TRUE(isLowerHex(stream->ErrorText())) << stream->ErrorText();
    EXPECT_EQ(stream->Read(buf, 3), 0u);
    EXPECT_EQ(stream->Size(), -1);
    EXPECT_FALSE(stream->Seek(1));
    stream.reset();
    EXPECT_TRUE(fileIsFree(path));
}

TEST(StorageNode, OpensCreatesAndReplacesElements)
{
    TempFolder dir;
    std::string path = dir.File("nodes.def");
    CompoundFile file;
    ASSERT_TRUE(file.Create(path.c_str()));
    SharedRef<StorageNode> root = file.Root();

    EXPECT_FALSE(root->OpenStream("missing"));
    EXPECT_STREQ(root->ErrorText(), "80030002");
    EXPECT_FALSE(root->OpenStorage("missing"));
    EXPECT_STREQ(root->ErrorText(), "80030002");

    SharedRef<StorageNode> sub = root->CreateStorage("sub");
    ASSERT_TRUE(sub) << root->ErrorText();
    SharedRef<StreamNode> s = sub->CreateStream("inner");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Write("12345", 5), 5u);
    s.reset();
    s = sub->CreateStream("inner");  // create mode replaces it
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Size(), 0);
    EXPECT_EQ(s->Write("9", 1), 1u);
    s.reset();
    sub.reset();

    sub = root->OpenStorage("sub");
    ASSERT_TRUE(sub);
    s = sub->OpenStream("inner");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Size(), 1);
    // An element that is open already cannot be opened a second time (exclusive).
    EXPECT_FALSE(sub->OpenStream("inner"));
    EXPECT_TRUE(isLowerHex(sub->ErrorText())) << sub->ErrorText();
    s.reset();
    sub.reset();

    // A storage created again is a new, empty one.
    sub = root->CreateStorage("sub");
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->ListStreams(nullptr)->Count(), 0);
    EXPECT_FALSE(sub->OpenStream("inner"));
    sub.reset();

    // A storage is not a stream, nor the other way round.
    EXPECT_FALSE(root->OpenStream("sub"));
    ASSERT_TRUE(root->CreateStream("plain"));
    EXPECT_FALSE(root->OpenStorage("plain"));
    // Names a compound file cannot hold fail with a code, not a crash.
    EXPECT_FALSE(root->CreateStream(std::string(40, 'n').c_str()));
    EXPECT_TRUE(isLowerHex(root->ErrorText())) << root->ErrorText();
    EXPECT_FALSE(root->CreateStream(std::string(300, 'n').c_str()));
    EXPECT_STREQ(root->ErrorText(), "800300fc");
    EXPECT_FALSE(root->OpenStream(nullptr));
}

TEST(StorageNode, ElementNamesTakeAnIndexSuffix)
{
    TempFolder dir;
    CompoundFile file;
    ASSERT_TRUE(file.Create(dir.File("index.def").c_str()));
    SharedRef<StorageNode> root = file.Root();
    ASSERT_TRUE(root->CreateStream("Data", 3));
    ASSERT_TRUE(root->CreateStream("Data", 0));
    ASSERT_TRUE(root->CreateStorage("Page", 12));
    ASSERT_TRUE(root->CreateStream("Data"));
    EXPECT_EQ(names(root->ListStreams(nullptr)), (std::set<std::string>{"Data", "Data_0", "Data_3"}));
    EXPECT_EQ(names(root->ListStorages(nullptr)), (std::set<std::string>{"Page_12"}));
    EXPECT_TRUE(root->OpenStream("Data_3"));
    EXPECT_TRUE(root->OpenStream("Data", 0));
    EXPECT_TRUE(root->OpenStorage("Page", 12));
    EXPECT_FALSE(root->OpenStream("Data", 4));
}

TEST(StorageNode, ListsByPatternAndKind)
{
    TempFolder dir;
    CompoundFile file;
    ASSERT_TRUE(file.Create(dir.File("list.def").c_str()));
    SharedRef<StorageNode> root = file.Root();
    for (const char* n : {"Stream1", "Stream10", "Stream", "alpha", "Beta", "CHI", "delta", "Zeta", "_x"})
        ASSERT_TRUE(root->CreateStream(n)) << n;
    ASSERT_TRUE(root->CreateStorage("Stream2"));
    ASSERT_TRUE(root->CreateStorage("cargo"));
    ASSERT_TRUE(root->CreateStorage("Depot"));

    EXPECT_EQ(names(root->ListStreams("st?eam#")), (std::set<std::string>{"Stream1"}));
    EXPECT_EQ(names(root->ListStorages("st?eam#")), (std::set<std::string>{"Stream2"}));
    EXPECT_EQ(names(root->ListStreams("[!a-c]*")),
              (std::set<std::string>{"Stream1", "Stream10", "Stream", "delta", "Zeta", "_x"}));
    EXPECT_EQ(names(root->ListStorages("[!a-c]*")), (std::set<std::string>{"Stream2", "Depot"}));
    EXPECT_EQ(names(root->ListStreams("STREAM*")), (std::set<std::string>{"Stream1", "Stream10", "Stream"}));
    EXPECT_EQ(root->ListStreams(nullptr)->Count(), 9);
    EXPECT_EQ(root->ListStorages(nullptr)->Count(), 3);

    SharedRef<NameList> none = root->ListStreams("[a-]*");
    EXPECT_EQ(none->Count(), 0);
    EXPECT_EQ(none->Item(0), nullptr);

    SharedRef<NameList> list = root->ListStreams("?????");
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Item(2), nullptr);  // the terminating entry
    EXPECT_EQ(names(list), (std::set<std::string>{"alpha", "delta"}));
}

TEST(StorageNode, ListingAnEmptyStorageGivesAnEmptyList)
{
    TempFolder dir;
    CompoundFile file;
    ASSERT_TRUE(file.Create(dir.File("empty.def").c_str()));
    SharedRef<StorageNode> root = file.Root();
    SharedRef<StorageNode> sub = root->CreateStorage("sub");
    ASSERT_TRUE(sub);
    for (SharedRef<NameList> list : {sub->ListStreams(nullptr), sub->ListStorages(nullptr), sub->ListStreams("*")}) {
        EXPECT_EQ(list->Count(), 0);
        EXPECT_EQ(list->Item(0), nullptr);
    }
    ASSERT_TRUE(sub->CreateStream("only"));
    EXPECT_EQ(sub->ListStorages(nullptr)->Count(), 0);  // nothing of the wanted kind
    EXPECT_EQ(sub->ListStreams(nullptr)->Count(), 1);
}

TEST(StorageNode, WithoutAStorageEverythingFailsQuietly)
{
    StorageNode node{ComRef<IStorage>()};
    EXPECT_EQ(node.ListStreams(nullptr)->Count(), 0);
    EXPECT_EQ(node.ListStorages("*")->Item(0), nullptr);
    EXPECT_FALSE(node.OpenStream("x"));
    EXPECT_STREQ(node.ErrorText(), "80004003");
    EXPECT_FALSE(node.CreateStorage("x"));
    // The operations that are not carried out give their fixed answers.
    EXPECT_FALSE(node.Reserved5("a", 1));
    node.Reserved8();
    EXPECT_TRUE(node.Reserved9("a", 1));
    EXPECT_TRUE(node.Reserved12("a", 1));
    EXPECT_STREQ(node.Name(), "");
}

TEST(StreamNode, FailuresGiveTheirResultAndACode)
{
    StreamNode none{ComRef<IStream>()};
    char buf[4];
    EXPECT_EQ(none.Size(), -1);
    EXPECT_STREQ(none.ErrorText(), "80004003");
    EXPECT_FALSE(none.Seek(0));
    EXPECT_EQ(none.Write("x", 1), 0u);
    EXPECT_EQ(none.Read(buf, 1), 0u);
    EXPECT_STREQ(none.ErrorText(), "80004003");
}

TEST(StorageWrappers, RepeatedUseLeaksNothing)
{
    TempFolder dir;
    std::string path = dir.File("cycle.def");
    auto cycle = [&] {
        CompoundFile file;
        if (!file.Create(path.c_str())) return false;
        SharedRef<StorageNode> root = file.Root();
        SharedRef<StorageNode> sub = root->CreateStorage("sub");
        if (!sub || !sub->CreateStream("s")) return false;
        root->OpenStream("missing");
        sub->ListStreams("*");
        CompoundFile missing;
        missing.OpenFile(dir.File("none.def").c_str());
        CompoundFile locked;
        locked.OpenFile(path.c_str());
        return true;
    };
    ASSERT_TRUE(cycle());
    DWORD before = bench::handleProbe();
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(cycle());
    EXPECT_LE(bench::handleProbe(), before);
    EXPECT_TRUE(fileIsFree(path));
}
