// The pages of the group dialogs as data and the page model behind them: which page opens for a
// double-click, what each keystroke leaves in an edit, the switch of frequency rows between one
// and two decimals, and what OK stores and marks edited.
#include "editing/PageModel.h"

#include <gtest/gtest.h>

#include <set>

#include "project/CM240Doc.h"

namespace pv::editing {
namespace {

class PageModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        doc_ = new CM240Doc(std::string(PARVOLT_DATA_DIR) + "/");
        doc_->OnNewDocument();
    }
    static void TearDownTestSuite() { delete doc_; }
    ParamTable& table() { return doc_->table; }
    static CM240Doc* doc_;
};
CM240Doc* PageModelTest::doc_ = nullptr;

TEST_F(PageModelTest, EveryDefinedParameterIsOnOnePageExceptThreeTheDriveListsOnly) {
    std::set<std::string> offPage, undefinedRows;
    for (int g = 0; g < kPageGroups; ++g) {
        std::set<int> shown;
        for (const PageDef& p : PagesOfGroup(g)->pages) {
            EXPECT_LE(p.indexes.size(), static_cast<std::size_t>(kRowsPerPage)) << p.range;
            for (int i : p.indexes) {
                EXPECT_TRUE(shown.insert(i).second) << FormatParamCode(g, i) << " twice";
                if (!table().record(g, i)->defined) undefinedRows.insert(FormatParamCode(g, i));
            }
        }
        for (int i = 0; i < kParamsPerGroup; ++i)
            if (table().record(g, i)->defined && !shown.count(i))
                offPage.insert(FormatParamCode(g, i));
    }
    EXPECT_EQ(offPage, (std::set<std::string>{"01-01", "12-40", "14-22"}));
    EXPECT_TRUE(undefinedRows.empty()) << *undefinedRows.begin();
}

TEST_F(PageModelTest, DoubleClickOpensThePageThatShowsTheParameter) {
    struct Case {
        int group, position;
        int page, redRow;
        const char* code;
    };
    const Case cases[] = {
        {0, 35, 3, 5, "00-44"},   // the list's 36th parameter of group 00
        {0, 0, 0, 0, "00-00"},
        {1, 1, -1, -1, "01-01"},  // on no page: opens group 01's first page, nothing red
        {12, 5, 0, 5, "12-05"},
        {9, 10, 1, 0, "09-11"},
    };
    for (const Case& c : cases) {
        const auto at = PageForPosition(table(), c.group, c.position);
        ASSERT_TRUE(at) << c.code;
        EXPECT_EQ(FormatParamCode(c.group, at->index), c.code);
        EXPECT_EQ(at->page, c.page < 0 ? 0 : c.page) << c.code;
        EXPECT_EQ(at->redRow, c.redRow) << c.code;
    }
    EXPECT_FALSE(PageForPosition(table(), 0, 9999));
    EXPECT_FALSE(PageForPosition(table(), 24, 0));
    EXPECT_EQ(TabLabel(0, 3, "Basic"), " 00-33 - 00-48 ");
    EXPECT_EQ(TabLabel(0, 1, "Basic"), "  00-10 - 00-19 ");
    EXPECT_EQ(TabLabel(0, 0, "Basic"), "Basic-> 00-00 - 00-09 ");
}

TEST_F(PageModelTest, EditFilterKeepsOnlyWhatTheRowTakes) {
    PageModel m(table(), 0, {});
    const auto at14 = PageOfParameter(0, 14);  // 0.1~6000.0, one decimal
    ASSERT_TRUE(at14);
    PageModel m1(table(), 1, {});
    const auto at0102 = PageOfParameter(1, 2);  // a frequency: two decimals, up to 300.00
    const auto at0100 = PageOfParameter(1, 0);  // hexadecimal 0~F,FF
    PageModel user(table(), 0, UserParameterPages(), {});
    struct Case {
        PageModel* model;
        PageLocation at;
        const char* before;
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {&m, *at14, "12", "12.5", "12.5"},
        {&m, *at14, "12.5", "12.55", "12.5"},   // a decimal too many: dropped again
        {&m, *at14, "12", "12a", "12"},         // a letter: the text before stays
        {&m, *at14, "12.5", "12.5.", "12.5"},   // a second "."
        {&m, *at14, "", ".", ""},               // a leading "."
        {&m, *at14, "600", "6000", "6000"},
        {&m, *at14, "6000", "60000", "6000"},   // above the maximum
        {&m, *at14, "5", "-5", "5"},            // no negative values on this row
        {&m1, *at0102, "12.3", "12.34", "12.34"},
        {&m1, *at0102, "12.34", "12.345", "12.34"},
        {&m1, *at0102, "300", "3000", "300"},
        {&m1, *at0100, "", "f", "F"},
        {&m1, *at0100, "F", "FG", "F"},
        {&user, {0, 0}, "00", "001", "00-1"},   // a code's separator comes by itself
        {&user, {0, 0}, "00-1", "00-1x", "00-1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.model->filterEdit(c.at.page, c.at.row, c.before, c.typed), c.kept)
            << c.before << " -> " << c.typed;
}

TEST_F(PageModelTest, FrequencyRowsFollowTheDrivesResolution) {
    const auto at = *PageOfParameter(1, 2);
    PageModel m(table(), 1, {});
    EXPECT_EQ(m.rangeLabel(at.page, at.row), "0.10~300.00");
    m.row(at.page, at.row).valueText = "500.0";
    auto changed = m.applySettings({true, false});
    EXPECT_EQ(m.rangeLabel(at.page, at.row), "0.1~599.0");
    EXPECT_EQ(m.row(at.page, at.row).valueText, "500.0");
    EXPECT_FALSE(changed.empty());
    // Back to two decimals: the value above 300.00 becomes the maximum in the row's format.
    m.applySettings({false, false});
    EXPECT_EQ(m.row(at.page, at.row).valueText, "300.00");
    EXPECT_TRUE(m.applySettings({false, false}).empty());
    // The limits are percentages unless 00-63 puts them in hertz.
    PageModel m0(table(), 0, {});
    const auto lim = *PageOfParameter(0, 12);
    EXPECT_EQ(m0.rangeLabel(lim.page, lim.row), "0.1~109.0");
    m0.applySettings({false, true});
    EXPECT_EQ(m0.rangeLabel(lim.page, lim.row), "0.10~300.00");
}

TEST_F(PageModelTest, StoreMarksWhatDiffersFromTheDriveOrTheProject) {
    CM240Doc doc = *doc_;
    const auto at14 = *PageOfParameter(0, 14), at15 = *PageOfParameter(0, 15),
               at16 = *PageOfParameter(0, 16);
    PageModel m(doc.table, 0, {});
    m.row(at14.page, at14.row).valueText = "12.5";  // written, unchanged since: not edited
    m.markWritten(at14.page, at14.row, "12.5");
    m.row(at15.page, at15.row).valueText = "20.0";  // typed, not written: edited
    m.row(at16.page, at16.row).valueText = "30.0";  // written, then changed again: edited
    m.markWritten(at16.page, at16.row, "25.0");
    EXPECT_EQ(m.store(doc.table), 3);
    EXPECT_EQ(doc.table.paramEdited[0][14], 0);
    EXPECT_EQ(doc.table.paramEdited[0][15], 1);
    EXPECT_EQ(doc.table.paramEdited[0][16], 1);
    EXPECT_EQ(doc.table.record(0, 14)->setValue, "12.5");
    EXPECT_EQ(doc.table.record(0, 16)->setValue, "30.0");
    EXPECT_EQ(m.store(doc.table), 0);
    // The range check of OK and Transmit Group names the first row out of range.
    EXPECT_FALSE(m.validate());
    m.row(at15.page, at15.row).valueText = "0.0";
    EXPECT_EQ(m.validate(), at15);
    EXPECT_EQ(m.textToWrite(at14.page, at14.row), "12.5");
}

}  // namespace
}  // namespace pv::editing
