#include <gtest/gtest.h>
#include <memory>
#include "settings/EmptyNameList.h"
#include "settings/FullNameList.h"
#include "settings/SharedRef.h"

namespace {

struct Counted {
    explicit Counted(int* alive) : alive_(alive) { ++*alive_; }
    virtual ~Counted() { --*alive_; }
    int* alive_;
};
struct DerivedCounted : Counted {
    using Counted::Counted;
};

}  // namespace

TEST(SharedRef, LastHolderDestroysAnOwnedObject)
{
    int alive = 0;
    SharedRef<Counted> a = makeShared<Counted>(&alive);
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(a.useCount(), 1);
    EXPECT_TRUE(a.owns());
    {
        SharedRef<Counted> b = a;
        SharedRef<Counted> c;
        c = b;
        EXPECT_EQ(a.useCount(), 3);
        EXPECT_EQ(c.get(), a.get());
    }
    EXPECT_EQ(a.useCount(), 1);
    EXPECT_EQ(alive, 1);
    SharedRef<Counted> moved = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(moved.useCount(), 1);
    moved.reset();
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(moved);
}

TEST(SharedRef, DestroysThroughTheVirtualDestructor)
{
    int alive = 0;
    {
        SharedRef<Counted> base(std::make_unique<DerivedCounted>(&alive));
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(SharedRef, BorrowedObjectIsNeverDestroyed)
{
    int alive = 0;
    Counted kept(&alive);
    {
        SharedRef<Counted> a = SharedRef<Counted>::Borrowed(&kept);
        SharedRef<Counted> b = a;
        EXPECT_FALSE(a.owns());
        EXPECT_EQ(b.useCount(), 2);
        EXPECT_EQ(b.get(), &kept);
    }
    EXPECT_EQ(alive, 1);
}

TEST(SharedRef, NullHolderAndPlainBuffers)
{
    SharedRef<Counted> none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), nullptr);
    EXPECT_EQ(none.useCount(), 0);
    SharedRef<Counted> copy = none;
    EXPECT_FALSE(copy);
    EXPECT_FALSE(SharedRef<Counted>(std::unique_ptr<Counted>()));

    SharedRef<char[]> buffer(std::make_unique<char[]>(16));
    SharedRef<char[]> other = buffer;
    buffer.get()[0] = 'x';
    EXPECT_EQ(other.get()[0], 'x');
    EXPECT_EQ(other.useCount(), 2);
}

TEST(NameList, FullListHoldsNamesBackToBackAndEndsInNull)
{
    FullNameList list(3, 12);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_TRUE(list.Add("abc", 3));
    EXPECT_TRUE(list.Add("", 0));
    EXPECT_TRUE(list.Add("defgh", 5));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_STREQ(list.Item(0), "abc");
    EXPECT_STREQ(list.Item(1), "");
    EXPECT_STREQ(list.Item(2), "defgh");
    EXPECT_EQ(list.Item(1), list.Item(0) + 4);  // one buffer, names back to back
    EXPECT_EQ(list.Item(2), list.Item(1) + 1);
    EXPECT_EQ(list.Item(3), nullptr);  // the terminating entry
    EXPECT_EQ(list.Item(4), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
    EXPECT_FALSE(list.Add("x", 1));  // all the room reserved is used
    EXPECT_EQ(list.Count(), 3);
}

TEST(NameList, FullListRefusesNamesBeyondItsText)
{
    FullNameList list(5, 6);
    EXPECT_TRUE(list.Add("abcd", 4));
    EXPECT_FALSE(list.Add("ef", 2));  // needs 3 bytes, 1 left
    EXPECT_TRUE(list.Add("", 0));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(2), nullptr);
}

TEST(NameList, EmptyListHasNothing)
{
    EmptyNameList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
    EXPECT_EQ(list.Item(5), nullptr);
}
