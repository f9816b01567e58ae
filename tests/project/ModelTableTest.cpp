#include <gtest/gtest.h>

#include "drive/Models.h"
#include "Fixtures.h"
#include "project/DataPaths.h"
#include "project/ModelDescriptions.h"
#include "project/ModelTable.h"

namespace pv {
namespace {

TEST(ModelTable, SearchesThe400VoltClassFirst) {
    const auto& t = ModelTable();
    EXPECT_EQ(t.front().code, 0x35021u);
    EXPECT_EQ(t[9].code, 0x3502Au);
    EXPECT_EQ(t[10].code, 0x35001u);
    EXPECT_EQ(t.back().code, 0x35009u);
    EXPECT_EQ(ModelsByCode().front().name, "N350-2P5-H");
    EXPECT_EQ(ModelsByCode().back().name, "N350-430-H");
}

TEST(ModelTable, LooksUpNamesAndCodes) {
    struct Case {
        const char* name;
        uint32_t code;
        const char* capacity;
        int voltageClass;
        bool largeFrame;
    };
    const Case cases[] = {
        {"N350-2P5-H", 0x35001, "2P5", 2, false}, {"N350-201-H", 0x35002, "201", 2, false},
        {"N350-202-H", 0x35003, "202", 2, true},  {"N350-220-H", 0x35009, "220", 2, true},
        {"N350-401-H", 0x35021, "401", 4, false}, {"N350-402-H", 0x35022, "402", 4, false},
        {"N350-403-H", 0x35023, "403", 4, true},  {"N350-430-H", 0x3502A, "430", 4, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ModelInfo* m = FindModelByName(c.name);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->code, c.code);
        EXPECT_EQ(m->capacity, c.capacity);
        EXPECT_EQ(ModelNameForCode(c.code), c.name);
        EXPECT_EQ(drive::VoltageClassOf(c.code), c.voltageClass);
        EXPECT_EQ(drive::IsLargeFrame(c.code), c.largeFrame);
    }
    EXPECT_EQ(FindModelByName("N350-999-H"), nullptr);
    EXPECT_EQ(FindModelByName("n350-2p5-h"), nullptr);
    EXPECT_EQ(ModelNameForCode(0x35014), "");
    EXPECT_EQ(drive::VoltageClassOf(0x35020), 2);
}

TEST(ModelDescriptions, ReadsNamesAndDescriptionLines) {
    const auto models = ParseModelDescriptions(
        "junk before\r\n  TYPE:N350-2P5-H]  \r\n 200V class, 0.4kW \r\nsecond line\r\nabc\r\n"
        "TYPE:N350-401-H]\nonly one\n\nTYPE:N350-402-H]\n");
    ASSERT_EQ(models.size(), 3u);
    EXPECT_EQ(models[0].name, "N350-2P5-H");
    EXPECT_EQ(models[0].description, "200V class, 0.4kW\r\nsecond line\r\n");  // "abc" < 5 chars
    EXPECT_EQ(models[1].name, "N350-401-H");
    EXPECT_EQ(models[1].description, "only one\r\n");
    EXPECT_EQ(models[2].description, "");
    EXPECT_TRUE(LoadModelDescriptions("/nonexistent/N350.spe").empty());
}

TEST(DataPaths, OverrideWinsAndGetsATrailingSlash) {
    test::TempDir dir;
    SetDataDirOverride(dir.path().string());
    EXPECT_EQ(DataDir(), dir.dir());
    EXPECT_EQ(DataFile(kParamFileName), dir.dir() + "N350PARAM.DAT");
    SetDataDirOverride("");
    EXPECT_FALSE(DataDir().empty());
    EXPECT_EQ(DataDir().back(), '/');
    EXPECT_EQ(ProgramDir().back(), '/');
}

}  // namespace
}  // namespace pv
