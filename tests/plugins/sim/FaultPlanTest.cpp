#include "plugins/sim/FaultPlan.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(FaultPlan, NothingFailsWithoutEntries) {
    const FaultPlan plan = FaultPlan::Parse("");
    for (std::uint64_t call = 0; call < 100; ++call) {
        EXPECT_FALSE(plan.FailsRead(call));
        EXPECT_FALSE(plan.FailsWrite(call));
        EXPECT_FALSE(plan.ShortRead(call));
        EXPECT_FALSE(plan.IsUnplugged(call));
    }
    EXPECT_FALSE(plan.NoChip());
    EXPECT_FALSE(plan.NoDriver());
    EXPECT_FALSE(plan.NoId());
}

TEST(FaultPlan, ReadsAndWritesFailOneByOneOrInRangesEachOnItsOwnCount) {
    const FaultPlan plan = FaultPlan::Parse("read=2,read=5-7,write=3-3");
    for (std::uint64_t call = 1; call <= 8; ++call) {
        EXPECT_EQ(plan.FailsRead(call), call == 2 || (call >= 5 && call <= 7)) << call;
        EXPECT_EQ(plan.FailsWrite(call), call == 3) << call;
    }
}

TEST(FaultPlan, ShortReadsNameTheCallAndTheBytes) {
    const FaultPlan plan = FaultPlan::Parse("short=4:3,short=6:0");
    EXPECT_EQ(plan.ShortRead(4), 3u);
    EXPECT_EQ(plan.ShortRead(6), 0u);
    EXPECT_FALSE(plan.ShortRead(5));
}

TEST(FaultPlan, UnplugsAfterTheEarliestCount) {
    const FaultPlan plan = FaultPlan::Parse("unplug=9,unplug=3");
    EXPECT_FALSE(plan.IsUnplugged(2));
    EXPECT_TRUE(plan.IsUnplugged(3));
    EXPECT_TRUE(FaultPlan::Parse("unplug=0").IsUnplugged(0));
}

TEST(FaultPlan, WordsSetThePollStates) {
    const FaultPlan plan = FaultPlan::Parse("nochip, nodriver ,noid");
    EXPECT_TRUE(plan.NoChip());
    EXPECT_TRUE(plan.NoDriver());
    EXPECT_TRUE(plan.NoId());
}

TEST(FaultPlan, MalformedEntriesAreIgnoredAndTheOthersKept) {
    const FaultPlan plan = FaultPlan::Parse(
        "read=,read=x,read=5-2,read=0,read=-3,read=+4,read=2-,short=3,short=:2,short=0:1,short=2:99999999999,"
        "unplug=-1,unplug=,bogus,NOCHIP,read=99999999999999999999,,  ,write = 4,write=4 , noid");
    for (std::uint64_t call = 0; call < 10; ++call) {
        EXPECT_FALSE(plan.FailsRead(call)) << call;
        EXPECT_FALSE(plan.ShortRead(call)) << call;
        EXPECT_FALSE(plan.IsUnplugged(call)) << call;
    }
    EXPECT_TRUE(plan.FailsWrite(4));
    EXPECT_FALSE(plan.FailsWrite(3));
    EXPECT_FALSE(plan.NoChip());
    EXPECT_TRUE(plan.NoId());
}

}  // namespace
}  // namespace tessaly
