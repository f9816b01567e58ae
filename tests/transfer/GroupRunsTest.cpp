// The read requests of every group, derived from the parameter database, must be exactly the
// drive's register map: first index and count of every request of groups 0..23, and the hidden
// groups read in blocks of 32.
#include "comm/GroupRuns.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

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

TEST_F(GroupRunsTest, RunsOfEveryGroupReproduceTheDriveRegisterMap) {
    const std::map<int, std::vector<RegisterRun>> expected = {
        {0, {{63, 1}, {0, 12}, {12, 15}, {28, 2}, {32, 2}, {34, 1}, {41, 17}, {63, 1}}},
        {1, {{0, 1}, {2, 10}, {12, 15}}},
        {2, {{0, 2}, {3, 5}, {9, 5}, {15, 4}, {19, 8}, {32, 3}, {37, 1}}},
        {3, {{0, 7}, {8, 12}, {27, 12}, {40, 9}, {49, 7}, {57, 1}, {58, 2}}},
        {4, {{0, 14}, {16, 8}, {24, 4}}},
        {5, {{0, 17}, {17, 16}, {33, 16}}},
        {6, {{0, 32}, {32, 16}}},
        {7, {{0, 3}, {4, 6}, {13, 4}, {18, 7}, {25, 10}, {35, 2}, {42, 6}}},
        {8, {{0, 4}, {5, 6}, {13, 13}, {30, 1}, {35, 10}, {46, 15}, {61, 1}, {64, 1}, {65, 2}}},
        {9, {{0, 10}, {11, 2}, {13, 2}, {15, 1}}},
        {10, {{0, 21}, {22, 1}, {23, 5}, {29, 3}, {33, 9}, {47, 1}, {48, 2}}},
        {11, {{0, 14}, {18, 7}, {26, 19}, {45, 12}, {58, 14}, {73, 1}, {76, 2}, {78, 5}}},
        {12, {{0, 6}, {11, 4}, {15, 16}, {32, 4}, {36, 5}, {41, 6}, {47, 10}, {57, 10}, {67, 2},
              {72, 5}, {78, 3}, {82, 1}, {85, 3}}},
        {13, {{0, 11}, {11, 1}, {12, 3}, {21, 30}, {51, 3}}},
        {14, {{0, 32}, {32, 16}}},
        {15, {{0, 30}, {30, 3}}},
        {16, {{0, 6}, {7, 4}, {11, 10}, {21, 16}}},
        {17, {{0, 15}}},
        {18, {{0, 7}}},
        {19, {{0, 8}}},
        {20, {{0, 32}, {32, 4}, {43, 2}}},
        {21, {{0, 11}, {11, 31}, {42, 2}}},
        {22, {{0, 9}, {10, 2}, {14, 5}, {20, 3}, {25, 10}, {36, 10}, {52, 5}}},
        {23, {{0, 21}, {22, 10}, {34, 6}, {41, 1}, {66, 10}, {78, 2}}},
    };
    for (int g = 0; g < 24; ++g) {
        SCOPED_TRACE(g);
        const ParamGroup& grp = doc.table.groups[g];
        const auto runs = ReadRunsOfGroup(grp);
        EXPECT_EQ(runs, expected.at(g));
        // Every defined parameter is read except the ones kept only in the project.
        std::set<int> read;
        for (const RegisterRun& run : runs) {
            EXPECT_LE(run.count, kMaxReadBlock);
            for (int i = run.first; i < run.first + run.count; ++i) {
                ASSERT_TRUE(grp.params[i].defined) << "reads an undefined register " << i;
                read.insert(i);
            }
        }
        for (int i = 0; i < kParamsPerGroup; ++i)
            if (grp.params[i].defined && readByTransfer(grp.params[i].attr)) {
                EXPECT_TRUE(read.count(i)) << i;
            }
    }
    EXPECT_FALSE(readByTransfer(doc.table.record("01-01")->attr)) << "kept in the project only";
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
