#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/TemplateHeap.h"
#include "engine/UnitList.h"

namespace tessaly {
namespace {

// The parser's tests show how a template fills the list; here what it refuses.
TEST(UnitListTest, RefusesNullAndRepeatedUnitsAndFindsThemByTheirExactName) {
    TemplateHeap heap;
    UnitList list;
    ASSERT_TRUE(list.Init(heap.NewArray<Unit*>(kUnitListCapacity), kUnitListCapacity));
    const auto newUnit = [&heap](const char* name) {
        Unit* unit = heap.New<Unit>();
        unit->Init(heap.CopyText(name), BusKind::I2C8, 0, 0, heap.NewArray<TemplateItem*>(1), 1);
        return unit;
    };
    Unit* upper = newUnit("Main");
    Unit* lower = newUnit("main");
    EXPECT_FALSE(list.Add(nullptr));
    EXPECT_TRUE(list.Add(upper));
    EXPECT_FALSE(list.Add(newUnit("Main")));
    EXPECT_TRUE(list.Add(lower));
    EXPECT_EQ(list.FindByName("main"), lower);
    EXPECT_EQ(list.FindByName("MAIN"), nullptr);
    EXPECT_TRUE(list.SelectByName("main"));
    EXPECT_FALSE(list.SelectByName("MAIN"));
    EXPECT_FALSE(list.SetCurrent(2));
    EXPECT_EQ(list.GetCurrent(), 1u);
    EXPECT_EQ(list.GetAt(2), nullptr);
}

TEST(UnitTest, InitRefusesUnknownBusesAndItemsBeyondTheCapacity) {
    TemplateItem* slots[2] = {};
    Unit fixed;
    EXPECT_TRUE(fixed.Init("F", BusKind::SPI, kUnitFixedByte, 0x50, slots, 2));
    EXPECT_EQ(fixed.start, 0u);
    Unit unit;
    EXPECT_FALSE(unit.Init("P", static_cast<BusKind>(3), 0, 0, slots, 2));
    EXPECT_FALSE(unit.Init(nullptr, BusKind::I2C8, 0, 0, slots, 2));
    ASSERT_TRUE(unit.Init("P", BusKind::I2C16, 0, 0, slots, 2));
    EXPECT_EQ(unit.start, kNoAddress);
    TemplateItem first;
    TemplateItem second;
    EXPECT_FALSE(unit.AddItem(nullptr));
    EXPECT_TRUE(unit.AddItem(&first));
    EXPECT_EQ(unit.GetItem(1), nullptr);
    EXPECT_TRUE(unit.AddItem(&second));
    EXPECT_FALSE(unit.AddItem(&first));
    EXPECT_EQ(unit.GetItem(1), &second);
    EXPECT_EQ(unit.GetItem(0xFFFFFFFF), nullptr);
}

TEST(ModelUtilityTest, LocationSizesTextsAndTheHeap) {
    const Location backward{0x20, 0x10};
    EXPECT_EQ(LocationSize(&backward), 0xFFFFFFF1u);
    EXPECT_EQ(LocationSize(nullptr), 0u);
    const char* texts[] = {"Off", nullptr, "", "On"};
    EXPECT_EQ(FindText("On", texts, 4), 3);
    EXPECT_EQ(FindText("", texts, 4), 2);
    EXPECT_EQ(FindText("on", texts, 4), -1);
    EXPECT_EQ(FindText("Off", texts, 0), -1);
    TemplateHeap heap;
    for (int round = 0; round < 100; ++round) {
        Unit** array = heap.NewArray<Unit*>(kUnitListCapacity);
        ASSERT_TRUE(std::all_of(array, array + kUnitListCapacity, [](Unit* u) { return u == nullptr; }));
    }
    EXPECT_STREQ(heap.CopyText(std::string_view("abcdef", 3)), "abc");
}

}  // namespace
}  // namespace tessaly
