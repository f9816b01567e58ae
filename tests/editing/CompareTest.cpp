// Compare: which parameters differ between two of their values, and the text file's bytes.
#include "editing/Compare.h"

#include <gtest/gtest.h>

#include "project/CM240Doc.h"

namespace pv::editing {
namespace {

TEST(CompareTest, ListsExactlyTheParametersWhoseTextsDiffer) {
    CM240Doc doc(std::string(PARVOLT_DATA_DIR) + "/");
    doc.OnNewDocument();
    ParamTable& t = doc.table;
    EXPECT_TRUE(BuildCompare(t, CompareMode::FactoryEdited).empty());

    for (auto& g : t.groups)
        for (auto& r : g.params) r.readValue = r.setValue;
    t.record(0, 15)->setValue = "20.0";           // an edit
    t.record(0, 14)->readValue =
        t.record(0, 14)->setValue + "0";           // trailing zero only: still a difference
    t.record(12, 3)->readValue = "7";              // the set-up part of the monitor group
    t.record(12, 5)->readValue = "99";             // monitor values never compare
    t.record(23, 0)->readValue = "1";
    t.record(13, 1)->readValue = "135";            // the drive's version: never compared
    t.record(1, 1)->setValue = "0.00";             // on no page, compared all the same

    const CompareResult edited = BuildCompare(t, CompareMode::FactoryEdited);
    ASSERT_EQ(DifferenceCount(edited), 2);
    EXPECT_EQ(CompareCode(edited[0].records[0]), "00-15");
    EXPECT_EQ(CompareCode(edited[1].records[0]), "01-01");

    const CompareResult read = BuildCompare(t, CompareMode::EditedRead);
    std::vector<std::string> codes;
    for (const auto& g : read)
        for (const auto& r : g.records) codes.push_back(CompareCode(r));
    EXPECT_EQ(codes, (std::vector<std::string>{"00-14", "00-15", "12-03", "23-00"}));
    EXPECT_EQ(read[0].name, t.groups[0].name);

    const ParamRecord& r15 = *t.record(0, 15);
    const std::string expected = t.groups[0].name + "\r\n" + t.record(0, 14)->label + "\t" +
                                 t.record(0, 14)->setValue + "\t" + t.record(0, 14)->readValue +
                                 "\r\n" + r15.label + "\t20.0\t" + r15.readValue + "\r\n";
    EXPECT_EQ(CompareText(read, CompareMode::EditedRead).substr(0, expected.size()), expected);
    EXPECT_EQ(CompareName(r15), r15.label.substr(6));
}

TEST(CompareTest, TextFileGoldenBytes) {
    ParamRecord a;
    a.label = "00-14 Acceleration Time 1";
    a.defaultValue = "10.0";
    a.setValue = "12.5";
    CompareResult result{{0, "00 Basic Parameters", {a}}};
    EXPECT_EQ(CompareText(result, CompareMode::FactoryEdited),
              "00 Basic Parameters\r\n00-14 Acceleration Time 1\t10.0\t12.5\r\n");
}

}  // namespace
}  // namespace pv::editing
