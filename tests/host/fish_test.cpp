// Object lists and plugin chains: order after insertion, null termination,
// and a Fish taking its whole plugin chain with it.
#include "host/fish.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<Fish*> Contents(const Fishes& list)
{
    std::vector<Fish*> contents;
    for (std::uint32_t i = 0; i < list.count; ++i)
        contents.push_back(list.items[i]);
    return contents;
}

TEST(FishesTest, FirstInsertionMakesAOneObjectListWithTerminator)
{
    Fishes list;
    Fish fish;
    ASSERT_TRUE(Fishes::InsertObject(&list, &fish, false));
    EXPECT_EQ(list.count, 1u);
    ASSERT_NE(list.items, nullptr);
    EXPECT_EQ(list.items[0], &fish);
    EXPECT_EQ(list.items[1], nullptr);
}

TEST(FishesTest, FrontAndBackInsertionKeepTheOthersInOrder)
{
    Fishes list;
    Fish a, b, c, front, back;
    for (Fish* fish : {&a, &b, &c})
        ASSERT_TRUE(Fishes::InsertObject(&list, fish, false));
    ASSERT_EQ(Contents(list), (std::vector<Fish*>{&a, &b, &c}));

    ASSERT_TRUE(Fishes::InsertObject(&list, &front, true));
    EXPECT_EQ(Contents(list), (std::vector<Fish*>{&front, &a, &b, &c}));
    EXPECT_EQ(list.items[4], nullptr);

    ASSERT_TRUE(Fishes::InsertObject(&list, &back, false));
    EXPECT_EQ(Contents(list), (std::vector<Fish*>{&front, &a, &b, &c, &back}));
    EXPECT_EQ(list.items[5], nullptr);
}

TEST(FishesTest, FrontInsertionIntoAnEmptyList)
{
    Fishes list;
    Fish fish;
    ASSERT_TRUE(Fishes::InsertObject(&list, &fish, true));
    EXPECT_EQ(Contents(list), std::vector<Fish*>{&fish});
    EXPECT_EQ(list.items[1], nullptr);
}

// Counts its destruction.
class CountingPlugin : public Plugin {
public:
    explicit CountingPlugin(int* destroyed) : destroyed_(destroyed) {}
    ~CountingPlugin() override { ++*destroyed_; }

private:
    int* destroyed_;
};

TEST(PluginChainTest, FrontAttachmentPrependsAndKeepsTheLastPlugin)
{
    int destroyed = 0;
    Fish fish;
    auto* first = new CountingPlugin(&destroyed);
    auto* second = new CountingPlugin(&destroyed);
    auto* front = new CountingPlugin(&destroyed);
    Fish::AttachPlugin(&fish, first, false);
    EXPECT_EQ(fish.firstPlugin, first);
    EXPECT_EQ(fish.lastPlugin, first);
    Fish::AttachPlugin(&fish, second, false);
    Fish::AttachPlugin(&fish, front, true);

    EXPECT_EQ(fish.firstPlugin, front);
    EXPECT_EQ(front->next, first);
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(second->next, nullptr);
    EXPECT_EQ(fish.lastPlugin, second);
}

TEST(PluginChainTest, DestroyingAFishDestroysItsWholeChain)
{
    int destroyed = 0;
    {
        Fish fish;
        for (int i = 0; i < 4; ++i)
            Fish::AttachPlugin(&fish, new CountingPlugin(&destroyed), i % 2 == 0);
    }
    EXPECT_EQ(destroyed, 4);
}

}  // namespace
