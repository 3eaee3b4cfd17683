#include <gtest/gtest.h>

#include <string>

#include "engine/TemplateHeap.h"
#include "engine/UnitList.h"

namespace tessaly {
namespace {

class UnitListTest : public ::testing::Test {
  protected:
    Unit* NewUnit(const char* name, std::uint32_t flags = 0) {
        Unit* unit = heap.New<Unit>();
        unit->Init(heap.CopyText(name), BusKind::I2C8, flags, 0xA0,
                   heap.NewArray<TemplateItem*>(kUnitItemCapacity), kUnitItemCapacity);
        return unit;
    }

    void SetUp() override {
        ASSERT_TRUE(list.Init(heap.NewArray<Unit*>(kUnitListCapacity), kUnitListCapacity));
    }

    TemplateHeap heap;
    UnitList list;
};

TEST_F(UnitListTest, AddRefusesNullDuplicatesAndUnitsBeyondCapacity) {
    EXPECT_FALSE(list.Add(nullptr));
    EXPECT_TRUE(list.Add(NewUnit("Main")));
    EXPECT_FALSE(list.Add(NewUnit("Main")));
    EXPECT_TRUE(list.Add(NewUnit("main")));
    for (std::uint32_t i = 2; i < kUnitListCapacity; ++i) {
        EXPECT_TRUE(list.Add(NewUnit(("U" + std::to_string(i)).c_str())));
    }
    EXPECT_FALSE(list.Add(NewUnit("Extra")));
    EXPECT_EQ(list.count, kUnitListCapacity);
    EXPECT_EQ(list.GetAt(kUnitListCapacity), nullptr);
}

TEST_F(UnitListTest, NamesCompareCaseSensitively) {
    Unit* upper = NewUnit("Main");
    Unit* lower = NewUnit("main");
    list.Add(upper);
    list.Add(lower);
    EXPECT_EQ(list.FindByName("Main"), upper);
    EXPECT_EQ(list.FindByName("main"), lower);
    EXPECT_EQ(list.FindByName("MAIN"), nullptr);
    EXPECT_TRUE(list.SelectByName("main"));
    EXPECT_EQ(list.GetCurrent(), 1u);
    EXPECT_FALSE(list.SelectByName("MAIN"));
    EXPECT_EQ(list.GetCurrent(), 1u);
}

TEST_F(UnitListTest, SetCurrentOutOfRangeKeepsCurrent) {
    list.Add(NewUnit("A"));
    list.Add(NewUnit("B"));
    EXPECT_TRUE(list.SetCurrent(1));
    EXPECT_FALSE(list.SetCurrent(2));
    EXPECT_EQ(list.GetCurrent(), 1u);
    EXPECT_TRUE(list.SetCurrent(1));
}

TEST(UnitTest, InitSetsStartByFixedByte) {
    TemplateHeap heap;
    TemplateItem* slots[4] = {};
    Unit fixed;
    EXPECT_TRUE(fixed.Init("F", BusKind::SPI, kUnitFixedByte, 0x50, slots, 4));
    EXPECT_EQ(fixed.start, 0u);
    EXPECT_EQ(fixed.end, 0u);
    Unit plain;
    EXPECT_TRUE(plain.Init("P", BusKind::I2C16, 0, 0, slots, 4));
    EXPECT_EQ(plain.start, kNoAddress);
    EXPECT_FALSE(plain.Init("P", static_cast<BusKind>(3), 0, 0, slots, 4));
    EXPECT_FALSE(plain.Init(nullptr, BusKind::I2C8, 0, 0, slots, 4));
}

TEST(UnitTest, ItemSlotsAreBoundedByCapacityNotCount) {
    TemplateHeap heap;
    Unit unit;
    unit.Init("U", BusKind::I2C8, 0, 0, heap.NewArray<TemplateItem*>(2), 2);
    TemplateItem first;
    TemplateItem second;
    EXPECT_FALSE(unit.AddItem(nullptr));
    EXPECT_TRUE(unit.AddItem(&first));
    EXPECT_EQ(unit.GetItem(1), nullptr);
    EXPECT_TRUE(unit.AddItem(&second));
    EXPECT_FALSE(unit.AddItem(&first));
    EXPECT_EQ(unit.itemCount, 2u);
    EXPECT_EQ(unit.GetItem(1), &second);
    EXPECT_EQ(unit.GetItem(2), nullptr);
    EXPECT_EQ(unit.GetItem(0xFFFFFFFF), nullptr);
}

TEST(ModelUtilityTest, LocationSizeWrapsForBackwardsLocations) {
    const Location forward{0x10, 0x1F};
    const Location backward{0x20, 0x10};
    EXPECT_EQ(LocationSize(&forward), 16u);
    EXPECT_EQ(LocationSize(&backward), 0xFFFFFFF1u);
    EXPECT_EQ(LocationSize(nullptr), 0u);
}

TEST(ModelUtilityTest, FindTextSkipsAbsentTexts) {
    const char* texts[] = {"Off", nullptr, "", "On"};
    EXPECT_EQ(FindText("On", texts, 4), 3);
    EXPECT_EQ(FindText("", texts, 4), 2);
    EXPECT_EQ(FindText("on", texts, 4), -1);
    EXPECT_EQ(FindText("Off", texts, 0), -1);
}

TEST(TemplateHeapTest, ArraysAreZeroFilledAndTextsTerminated) {
    TemplateHeap heap;
    for (int round = 0; round < 100; ++round) {
        Unit** array = heap.NewArray<Unit*>(kUnitListCapacity);
        for (std::uint32_t i = 0; i < kUnitListCapacity; ++i) {
            ASSERT_EQ(array[i], nullptr);
        }
    }
    const char* copy = heap.CopyText(std::string_view("abcdef", 3));
    EXPECT_STREQ(copy, "abc");
}

}  // namespace
}  // namespace tessaly
