#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include "controls/CustomControlHandler.h"
#include "controls/CustomHandlerFactory.h"
#include "controls/CustomHandlerRegistry.h"

namespace {

// Records that it was asked; makes a handler unless it declines.
class CountingFactory : public CustomHandlerFactory {
public:
    CountingFactory(int tag, bool decline, std::vector<int>& asked) : tag_(tag), decline_(decline), asked_(asked) {}
    CustomControlHandler* create(int, HWND window, void*) override
    {
        asked_.push_back(tag_);
        if (decline_) return nullptr;
        made.push_back(std::make_unique<CustomControlHandler>(window));
        return made.back().get();
    }
    std::vector<std::unique_ptr<CustomControlHandler>> made;

private:
    int tag_;
    bool decline_;
    std::vector<int>& asked_;
};

class CustomRegistry : public ::testing::Test {
protected:
    void SetUp() override { CustomHandlerRegistry::clear(); }
    void TearDown() override { CustomHandlerRegistry::clear(); }
    std::vector<int> asked;
};

}  // namespace

TEST_F(CustomRegistry, DecliningFactoriesPassTheTurnToTheNextEntryWithTheSameId)
{
    CountingFactory declines(1, true, asked), other(2, false, asked), makes(3, false, asked), later(4, false, asked);
    ASSERT_TRUE(CustomHandlerRegistry::add(500, &declines));
    ASSERT_TRUE(CustomHandlerRegistry::add(600, &other));
    ASSERT_TRUE(CustomHandlerRegistry::add(500, &makes));
    ASSERT_TRUE(CustomHandlerRegistry::add(500, &later));
    EXPECT_EQ(CustomHandlerRegistry::count(), 4);

    CustomControlHandler* h = CustomHandlerRegistry::createHandler(500, nullptr, nullptr);
    ASSERT_EQ(makes.made.size(), 1u);
    EXPECT_EQ(h, makes.made[0].get());
    EXPECT_EQ(asked, (std::vector<int>{1, 3}));  // the later entry is not asked once one made it

    asked.clear();
    CustomControlHandler* h600 = CustomHandlerRegistry::createHandler(600, nullptr, nullptr);
    ASSERT_EQ(other.made.size(), 1u);
    EXPECT_EQ(h600, other.made[0].get());
    EXPECT_EQ(asked, (std::vector<int>{2}));

    asked.clear();
    EXPECT_EQ(CustomHandlerRegistry::createHandler(700, nullptr, nullptr), nullptr);
    EXPECT_TRUE(asked.empty());
}

TEST_F(CustomRegistry, OnlyDecliningFactoriesGiveNoHandler)
{
    CountingFactory a(1, true, asked), b(2, true, asked);
    CustomHandlerRegistry::add(9, &a);
    CustomHandlerRegistry::add(9, &b);
    EXPECT_EQ(CustomHandlerRegistry::createHandler(9, nullptr, nullptr), nullptr);
    EXPECT_EQ(asked, (std::vector<int>{1, 2}));
}

TEST_F(CustomRegistry, AnEleventhEntryIsRefusedAndChangesNothing)
{
    std::vector<std::unique_ptr<CountingFactory>> factories;
    for (int i = 0; i < CustomHandlerRegistry::Capacity; ++i) {
        factories.push_back(std::make_unique<CountingFactory>(i, true, asked));
        EXPECT_TRUE(CustomHandlerRegistry::add(77, factories.back().get()));
    }
    CountingFactory eleventh(99, false, asked);
    EXPECT_FALSE(CustomHandlerRegistry::add(77, &eleventh));
    EXPECT_FALSE(CustomHandlerRegistry::add(78, &eleventh));
    EXPECT_EQ(CustomHandlerRegistry::count(), 10);
    EXPECT_EQ(CustomHandlerRegistry::createHandler(77, nullptr, nullptr), nullptr);
    EXPECT_EQ(asked.size(), 10u);
    EXPECT_EQ(CustomHandlerRegistry::createHandler(78, nullptr, nullptr), nullptr);
    EXPECT_EQ(asked.size(), 10u);  // the refused factory is never asked

    // A null factory is refused as well; an emptied table takes entries again.
    CustomHandlerRegistry::clear();
    EXPECT_FALSE(CustomHandlerRegistry::add(1, nullptr));
    EXPECT_EQ(CustomHandlerRegistry::count(), 0);
    EXPECT_TRUE(CustomHandlerRegistry::add(78, &eleventh));
    CustomControlHandler* h78 = CustomHandlerRegistry::createHandler(78, nullptr, nullptr);
    ASSERT_EQ(eleventh.made.size(), 1u);
    EXPECT_EQ(h78, eleventh.made[0].get());
}
