// Export and Import of a whole project through scripted prompts: the texts shown in order, the
// CSV round trip byte for byte, the first bad line stopping an import, workbooks carrying
// factory values and numbers that a spreadsheet program stored as numbers.
#include "editing/ParamExchange.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "../project/Fixtures.h"
#include "../support/RunProgram.h"
#include "editing/CsvLines.h"
#include "res/ScriptedPrompts.h"

namespace pv {
namespace {

using Texts = std::vector<std::string>;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::time_t localTime(int y, int mo, int d, int h, int mi, int s) {
    std::tm t{};
    t.tm_year = y - 1900, t.tm_mon = mo - 1, t.tm_mday = d;
    t.tm_hour = h, t.tm_min = mi, t.tm_sec = s, t.tm_isdst = -1;
    return std::mktime(&t);
}

class ParamExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.OnNewDocument();
        ASSERT_GE(doc.table.definedGroupCount(), 20) << "data files missing";
    }
    std::string& value(const char* code) { return doc.table.record(code)->setValue; }
    bool exportTo(const std::string& path, ExchangeFormat format) {
        prompts.fileAnswers.push_back(path);
        return ExportParameters(doc, "N350-2P5-H", format, prompts, when);
    }
    bool importFrom(const std::string& path) {
        prompts.fileAnswers.push_back(path);
        return ImportParameters(doc, prompts, settings);
    }
    CM240Doc doc{std::string(PARVOLT_DATA_DIR) + "/"};
    ScriptedPrompts prompts;
    ParamDisplaySettings settings;
    test::TempDir dir;
    std::time_t when = localTime(2024, 3, 5, 9, 7, 3);
};

TEST_F(ParamExchangeTest, CsvHeaderLinesAndOneLinePerDefinedParameter) {
    const auto lines = BuildExportCsvLines(doc.table, "N350-2P5-H", when);
    ASSERT_EQ(lines.size(), 3u + doc.table.definedParamCount());
    EXPECT_EQ(lines[0], "Model:N350-2P5-H");
    EXPECT_EQ(lines[1], "Parameter Name,Set Value");
    EXPECT_EQ(lines[2], "Date: 03-05-2024,Time: 09:07:03");
    EXPECT_EQ(lines[3], doc.table.record(0, 0)->label + "," + doc.table.record(0, 0)->setValue);
}

TEST_F(ParamExchangeTest, CsvRoundTripIsByteIdentical) {
    const std::string first = dir.file("a.csv"), second = dir.file("b.csv");
    ASSERT_TRUE(exportTo(first, ExchangeFormat::Csv));
    const std::string saved = value("00-14");
    value("00-14") = "99.9";
    value("00-00") = "4";
    ASSERT_TRUE(importFrom(first));
    EXPECT_EQ(value("00-14"), saved);
    EXPECT_TRUE(doc.modified);
    ASSERT_TRUE(exportTo(second, ExchangeFormat::Csv));
    EXPECT_EQ(fileBytes(first), fileBytes(second));
    EXPECT_EQ(prompts.shown, (Texts{"file: Export", "message: Export parameter success.",
                                    "file: Import", "message: Import parameter success.",
                                    "file: Export", "message: Export parameter success."}));
}

TEST_F(ParamExchangeTest, FirstBadLineStopsImportKeepingEarlierLines) {
    const struct {
        const char* line;
        const char* shown;
    } cases[] = {
        {"03-06 Missing value", "Line 4 (03-06 Missing value) of the import file is error !"},
        {"0305,1", "Line 4 (0305,1) of the import file is error !"},
        {"03-06 x,1,2", "Line 4 (03-06 x,1,2) of the import file is error !"},
        {"99-01 No group,1", "Line 4 (99-01 No group,1) of the import file is error !"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file("bad.csv");
        ASSERT_TRUE(WriteCsvFile(path, {"Model:X", "h", "d", "03-05 Name,12.5", c.line,
                                        "03-07 After,7"}));
        value("03-05") = value("03-07") = "0";
        prompts.shown.clear();
        EXPECT_FALSE(importFrom(path));
        EXPECT_EQ(value("03-05"), "12.5");
        EXPECT_EQ(value("03-07"), "0");
        EXPECT_EQ(prompts.texts("message"), Texts{c.shown});
    }
}

TEST_F(ParamExchangeTest, UnreadableFilesChangeNothing) {
    EXPECT_FALSE(importFrom(dir.file("missing.csv")));
    EXPECT_FALSE(importFrom(dir.file("missing.xlsx")));
    const std::string fake = dir.file("fake.xlsx");
    ASSERT_TRUE(WriteCsvFile(fake, {"not a workbook"}));
    EXPECT_FALSE(importFrom(fake));
    EXPECT_FALSE(importFrom(dir.file("other.txt")));  // not a kind Import reads: nothing shown
    EXPECT_FALSE(exportTo("/nonexistent-dir/out.csv", ExchangeFormat::Csv));
    EXPECT_FALSE(doc.modified);
    const Texts messages = prompts.texts("message");
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "Opening the file is fail!");
    EXPECT_EQ(messages[1], "Opening the file is fail!");
    EXPECT_EQ(messages[2], "The workbook " + fake +
                               " cannot be read: it is neither an .xlsx nor an .xls workbook");
    EXPECT_EQ(messages[3], "Opening the file is fail!");
}

TEST_F(ParamExchangeTest, WorkbookRoundTripCarriesFactoryValues) {
    ASSERT_TRUE(exportTo(dir.file("N350 Parameter.xls"), ExchangeFormat::Excel));  // saved as .xlsx
    Workbook book;
    std::string error;
    ASSERT_TRUE(ReadWorkbook(dir.file("N350 Parameter.xlsx"), book, error)) << error;
    EXPECT_EQ(book.sheets.size(), static_cast<size_t>(doc.table.definedGroupCount()));
    const WorkbookSheet& g0 = *book.sheet("Group0");
    EXPECT_EQ(g0.text(0, 2), "Current_Value");
    EXPECT_EQ(g0.text(2, 0), doc.table.record(0, 0)->label);

    const CM240Doc exported = doc;
    value("00-14") = "1.0";
    doc.table.record("00-14")->defaultValue = "2.0";
    ASSERT_TRUE(importFrom(dir.file("N350 Parameter.xlsx")));
    EXPECT_TRUE(doc.table == exported.table);
    EXPECT_TRUE(doc.modified);
}

TEST_F(ParamExchangeTest, NumbersFromSpreadsheetsTakeTheParametersFormat) {
    const struct {
        const char* code;
        double number;
        bool highFrequency;
        const char* text;
    } cases[] = {
        {"00-18", 12.5, false, "12.50"},  // two decimals
        {"00-18", 12.5, true, "12.5"},    // frequencies in 0.1 Hz in high-frequency mode
        {"00-14", 12, false, "12.0"},
        {"00-14", 0.30000000000000004, false, "0.3"},
        {"00-00", 3, false, "3"},          // option register value
        {"16-19", 45292, false, "01/01"},  // a date the spreadsheet turned into its serial
    };
    for (const auto& c : cases) {
        WorkbookCell cell;
        cell.kind = WorkbookCell::Kind::Number;
        cell.number = c.number;
        EXPECT_EQ(CellValueText(cell, *doc.table.record(c.code), {c.highFrequency, false}), c.text)
            << c.code;
    }
}

TEST_F(ParamExchangeTest, WorkbookRowNamingNoParameterStopsImport) {
    Workbook book;
    WorkbookSheet& s = book.addSheet("Group3");
    s.setText(0, 0, "Parameter_Descriptions");
    s.setText(0, 1, "Factory_Setting");
    s.setText(0, 2, "Current_Value");
    s.setText(2, 0, "03-05 Name");
    s.setNumber(2, 1, 1);
    s.setNumber(2, 2, 2);
    s.setText(3, 5, "a note beside the table");
    s.setText(4, 0, "bad");
    s.setText(4, 2, "9");
    const std::string path = dir.file("bad.xlsx");
    std::string error;
    ASSERT_TRUE(WriteXlsx(path, book, error)) << error;
    EXPECT_FALSE(importFrom(path));
    EXPECT_EQ(value("03-05"), "2");
    EXPECT_EQ(doc.table.record("03-05")->defaultValue, "1");
    EXPECT_EQ(prompts.texts("message"),
              Texts{"Line 5 (Group3: bad,9) of the import file is error !"});
}

TEST_F(ParamExchangeTest, WorkbooksSavedByASpreadsheetProgramImport) {
    // Saved by LibreOffice: 00-14's current value and 00-18's factory value are numbers there.
    for (const char* kind : {"xls", "xlsx"}) {
        const std::string path =
            std::string(PARVOLT_SOURCE_DIR) + "/tests/fixtures/workbooks/saved-by-spreadsheet." + kind;
        prompts.shown.clear();
        ASSERT_TRUE(importFrom(path)) << kind;
        EXPECT_EQ(value("00-14"), "12.5");
        EXPECT_EQ(doc.table.record("00-14")->defaultValue, "10.0");
        EXPECT_EQ(doc.table.record("00-18")->defaultValue, "7.00");
        EXPECT_EQ(value("00-18"), "6.00");
        EXPECT_EQ(prompts.texts("message"), Texts{"Import parameter success."});
        value("00-14") = "0.0";
    }
}

TEST(CliExchange, ExportImportRoundTripAndABadLineSavesNothing) {
    const std::string cli = std::string(PARVOLT_BIN_DIR) + "/parvolt-cli ";
    test::TempDir dir;
    const std::string project = dir.file("p.nf3");
    const auto run = [&](const std::string& args) { return test::RunProgram(cli + args); };
    ASSERT_EQ(run("new --model N350-2P5-H -o " + project).status, 0);
    ASSERT_EQ(run("set " + project + " 00-14=15.0").status, 0);
    for (const char* out : {"out.csv", "out.xlsx"}) {
        const auto exported = run("export " + project + " -o " + dir.file(out));
        ASSERT_EQ(exported.status, 0) << exported.out;
        EXPECT_EQ(exported.out, "Export parameter success.\n");
        ASSERT_EQ(run("set " + project + " 00-14=20.0").status, 0);
        const auto imported = run("import " + project + " " + dir.file(out));
        EXPECT_EQ(imported.status, 0) << imported.out;
        EXPECT_EQ(run("get " + project + " 00-14").out, "00-14\t15.0\n");
    }
    const std::string bad = dir.file("bad.csv");
    ASSERT_TRUE(WriteCsvFile(bad, {"Model:X", "h", "d", "00-14 x,30.0", "00-15"}));
    const auto refused = run("import " + project + " " + bad);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out,
              "Line 4 (00-15) of the import file is error !\nThe project was not saved.\n");
    EXPECT_EQ(run("get " + project + " 00-14").out, "00-14\t15.0\n");
    EXPECT_EQ(run("export " + project + " -o " + dir.file("out.xls")).status, 2);
}

}  // namespace
}  // namespace pv
