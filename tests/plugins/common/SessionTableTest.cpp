#include "plugins/common/SessionTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace tessaly {
namespace {

TEST(SessionTableTest, HandlesAreNotReusedAndTheTableIsCapped) {
    SessionTable<int> table;
    std::vector<std::uint32_t> handles;
    for (std::size_t i = 0; i < SessionTable<int>::kMaxSessions; ++i) {
        handles.push_back(table.Add(std::make_shared<int>(static_cast<int>(i))));
        EXPECT_NE(handles.back(), 0u);
    }
    EXPECT_EQ(table.Add(std::make_shared<int>(0)), 0u);
    EXPECT_EQ(*table.Remove(handles.back()), 63);
    EXPECT_GT(table.Add(std::make_shared<int>(0)), handles.back());
}

}  // namespace
}  // namespace tessaly
