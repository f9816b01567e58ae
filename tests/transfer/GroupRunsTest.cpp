// The read requests of every group, derived from the parameter database, must be exactly the
// drive's: the number of requests of each group and the first index and count of the telling
// groups.
#include "comm/GroupRuns.h"

#include <gtest/gtest.h>

#include "TransferFixture.h"
#include "comm/ModbusFrames.h"
#include "project/CM240Doc.h"
#include "sim/ParamRegisters.h"

namespace pv::comm {
namespace {

class GroupRunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.OnNewDocument();
        ASSERT_GE(doc.table.groups.size(), 24u) << "data files missing";
    }
    CM240Doc doc{test::dataDir()};
};

TEST_F(GroupRunsTest, RequestCountOfEveryGroup) {
    const int expected[24] = {8,  3, 7, 7, 3, 3, 2, 7, 9, 4, 7, 8,
                              13, 5, 2, 2, 4, 1, 1, 1, 3, 3, 7, 6};
    for (int g = 0; g < 24; ++g)
        EXPECT_EQ(ReadRunsOfGroup(doc.table.groups[g]).size(), static_cast<size_t>(expected[g]))
            << "group " << g;
}

TEST_F(GroupRunsTest, RunsOfTheTellingGroups) {
    using R = std::vector<RegisterRun>;
    const std::pair<int, R> cases[] = {
        {0, {{63, 1}, {0, 12}, {12, 15}, {28, 2}, {32, 2}, {34, 1}, {41, 17}, {63, 1}}},
        {1, {{0, 1}, {2, 10}, {12, 15}}},
        {8, {{0, 4}, {5, 6}, {13, 13}, {30, 1}, {35, 10}, {46, 15}, {61, 1}, {64, 1}, {65, 2}}},
        {13, {{0, 11}, {11, 1}, {12, 3}, {21, 30}, {51, 3}}},
        {14, {{0, 32}, {32, 16}}},
        {15, {{0, 30}, {30, 3}}},
        {21, {{0, 11}, {11, 31}, {42, 2}}},
        {22, {{0, 9}, {10, 2}, {14, 5}, {20, 3}, {25, 10}, {36, 10}, {52, 5}}},
    };
    for (const auto& [group, runs] : cases)
        EXPECT_EQ(ReadRunsOfGroup(doc.table.groups[group]), runs) << "group " << group;
}

TEST_F(GroupRunsTest, NoRequestExceedsThirtyTwoRegisters) {
    AppendHiddenGroups(doc.table);
    for (int g = 0; g < static_cast<int>(doc.table.groups.size()); ++g)
        for (const auto& r : ReadRunsOfGroup(doc.table.groups[g])) {
            EXPECT_LE(r.count, kMaxReadBlock) << "group " << g;
            EXPECT_GE(r.count, 1);
        }
}

TEST_F(GroupRunsTest, LongConsecutiveGroupSplitsAtThirtyTwo) {
    ParamGroup g = MakeFillerGroup(5);
    for (int i = 0; i < 48; ++i) g.params[i].defined = 1;
    EXPECT_EQ(ReadRunsOfGroup(g), (std::vector<RegisterRun>{{0, 32}, {32, 16}}));
    g.params[20].defined = 0;
    EXPECT_EQ(ReadRunsOfGroup(g), (std::vector<RegisterRun>{{0, 20}, {21, 27}}));
}

TEST_F(GroupRunsTest, HiddenGroupsGrowTheTableAndMatchTheDrive) {
    const auto before = doc.table.groups.size();
    doc.table.groups[0].params[5].setValue = "7";
    EXPECT_FALSE(HasHiddenGroups(doc.table));
    AppendHiddenGroups(doc.table);
    EXPECT_TRUE(HasHiddenGroups(doc.table));
    EXPECT_EQ(doc.table.groups.size(), static_cast<size_t>(kHiddenGroupLast + 1));
    EXPECT_GE(doc.table.groups.size(), before);
    EXPECT_EQ(doc.table.groups[0].params[5].setValue, "7");
    EXPECT_EQ(kHiddenGroupParams, sim::kHiddenGroupSize);
    EXPECT_EQ(ReadRunsOfGroup(doc.table.groups[25]),
              (std::vector<RegisterRun>{{0, 32}, {32, kHiddenGroupParams - 32}}));
    // Appending again changes nothing.
    auto copy = doc.table.groups;
    AppendHiddenGroups(doc.table);
    EXPECT_EQ(doc.table.groups, copy);
}

}  // namespace
}  // namespace pv::comm
