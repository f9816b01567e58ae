// The CSV line format and the workbook readers/writer: golden bytes for CSV, round trips through
// .xlsx, packages written the way other spreadsheet programs write them, damaged files refused.
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "editing/CsvLines.h"
#include "editing/Workbook.h"

namespace pv {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

std::string tempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("pv-exchange-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

TEST(CsvLines, WritesZeroAfterEachLineAndCrLfBetween) {
    EXPECT_EQ(EncodeCsvLines({"Model:N350", "a,b", "01-02 x,5"}),
              "Model:N350\0\r\na,b\0\r\n01-02 x,5\0"s);
    EXPECT_EQ(EncodeCsvLines({}), "");
}

TEST(CsvLines, ReadsCrAsEndIgnoresLfDropsZeros) {
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"a\0\r\nb,c\0"s, {"a", "b,c"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},  // an empty line stays a line
        {"a\rb\n", {"a", "b"}},              // CR alone ends a line; a last line without CR
        {"a\nb\n", {"ab"}},                  // LF alone ends nothing
        {"\0\0"s, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeCsvLines(c.bytes), c.lines) << c.bytes;
}

TEST(CsvLines, SplitsAtEveryCommaDroppingOneLastEmptyField) {
    const struct {
        const char* line;
        Lines fields;
    } cases[] = {
        {"03-05 Name,12.5", {"03-05 Name", "12.5"}},
        {"a,b,", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,,", {"a", ""}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCsvFields(c.line), c.fields) << c.line;
}

TEST(CsvLines, FileRoundTripIsExact) {
    const std::string path = tempPath("round.csv");
    const Lines lines = {"Model:N350-2P5-H", "Parameter Name,Set Value", "00-00 Mode,0"};
    ASSERT_TRUE(WriteCsvFile(path, lines));
    Lines back;
    ASSERT_TRUE(ReadCsvFile(path, back));
    EXPECT_EQ(back, lines);
    std::remove(path.c_str());
    EXPECT_FALSE(ReadCsvFile(path, back));
    EXPECT_FALSE(WriteCsvFile("/nonexistent-dir/x.csv", lines));
}

TEST(Workbook, NumbersReadBackInTheirShortestText) {
    EXPECT_EQ(FormatCellNumber(12.5), "12.5");
    EXPECT_EQ(FormatCellNumber(3), "3");
    EXPECT_EQ(FormatCellNumber(-0.25), "-0.25");
    EXPECT_EQ(FormatCellNumber(0.1 + 0.2), "0.30000000000000004");
}

TEST(Workbook, XlsxWrittenReadsBackCellForCell) {
    Workbook book;
    WorkbookSheet& g0 = book.addSheet("Group0");
    g0.setText(0, 0, "Parameter_Descriptions");
    g0.setText(2, 0, "00-01 Motor Rotation Direction");
    g0.setText(2, 2, "caf\xe9");  // Latin-1 text is stored as UTF-8
    g0.setNumber(3, 1, 12.5);
    book.addSheet("Group13").setNumber(0, 0, -7);
    const std::string path = tempPath("book.xlsx");
    std::string error;
    ASSERT_TRUE(WriteXlsx(path, book, error)) << error;
    Workbook back;
    ASSERT_TRUE(ReadWorkbook(path, back, error)) << error;
    ASSERT_EQ(back.sheets.size(), 2u);
    const WorkbookSheet* s = back.sheet("Group0");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->text(0, 0), "Parameter_Descriptions");
    EXPECT_EQ(s->text(2, 0), "00-01 Motor Rotation Direction");
    EXPECT_EQ(s->text(2, 2), "caf\xc3\xa9");
    ASSERT_TRUE(s->cell(3, 1));
    EXPECT_EQ(s->cell(3, 1)->kind, WorkbookCell::Kind::Number);
    EXPECT_EQ(s->cell(3, 1)->number, 12.5);
    EXPECT_EQ(back.sheet("Group13")->text(0, 0), "-7");
    std::remove(path.c_str());
    EXPECT_FALSE(WriteXlsx("/nonexistent-dir/x.xlsx", book, error));
    EXPECT_FALSE(error.empty());
}

// A package image with the given parts, as libzip writes it.
std::string package(const std::vector<std::pair<std::string, std::string>>& parts) {
    const std::string path = tempPath("pkg.zip");
    std::remove(path.c_str());
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    for (const auto& [name, body] : parts) {
        zip_source_t* src = zip_source_buffer(z, body.data(), body.size(), 0);
        zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE);
    }
    zip_close(z);
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
        std::fclose(f);
    }
    std::remove(path.c_str());
    return bytes;
}

bool readImage(const std::string& bytes, Workbook& book, std::string& error) {
    return ReadXlsxBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), book,
                         error);
}

const char* kWorkbookXml =
    R"(<x:workbook xmlns:x="m" xmlns:r="rel"><x:sheets><x:sheet name="Group3" r:id="rId7"/>)"
    R"(</x:sheets></x:workbook>)";
const char* kRelsXml =
    R"(<Relationships><Relationship Id="rId7" Target="/xl/worksheets/data.xml"/></Relationships>)";
const char* kStringsXml =
    R"(<sst><si><t>03-05 Name</t></si><si><r><t>Fac</t></r><r><t>tory</t></r>)"
    R"(<rPh><t>hint</t></rPh></si></sst>)";

TEST(Workbook, ReadsSharedInlineAndNumericCellsAsOtherProgramsWriteThem) {
    const std::string sheet =
        R"(<x:worksheet xmlns:x="m"><x:sheetData><x:row r="3"><x:c r="A3" t="s"><x:v>0</x:v></x:c>)"
        R"(<x:c t="s"><x:v>1</x:v></x:c><x:c r="D3"><x:v>12.5</x:v></x:c><x:c r="E3" s="1"/></x:row>)"
        R"(<x:row><x:c t="inlineStr"><x:is><x:t>inline</x:t></x:is></x:c>)"
        R"(<x:c t="str"><x:v>formula text</x:v></x:c></x:row></x:sheetData></x:worksheet>)";
    Workbook book;
    std::string error;
    ASSERT_TRUE(readImage(package({{"xl/workbook.xml", kWorkbookXml},
                                   {"xl/_rels/workbook.xml.rels", kRelsXml},
                                   {"xl/sharedStrings.xml", kStringsXml},
                                   {"xl/worksheets/data.xml", sheet}}),
                          book, error))
        << error;
    const WorkbookSheet* s = book.sheet("Group3");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->text(2, 0), "03-05 Name");
    EXPECT_EQ(s->text(2, 1), "Factory");
    EXPECT_EQ(s->cell(2, 3)->kind, WorkbookCell::Kind::Number);
    EXPECT_EQ(s->text(2, 3), "12.5");
    EXPECT_EQ(s->cell(2, 4), nullptr);
    EXPECT_EQ(s->text(3, 0), "inline");
    EXPECT_EQ(s->text(3, 1), "formula text");
}

TEST(Workbook, DamagedFilesAreRefusedWithAReason) {
    const auto sheetWith = [](const std::string& cells) {
        return package({{"xl/workbook.xml", kWorkbookXml},
                        {"xl/_rels/workbook.xml.rels", kRelsXml},
                        {"xl/worksheets/data.xml",
                         "<worksheet><sheetData><row>" + cells + "</row></sheetData></worksheet>"}});
    };
    const std::string images[] = {
        "",
        "PK\3\4 not really a zip",
        package({{"xl/styles.xml", "<styleSheet/>"}}),             // no workbook part
        package({{"xl/workbook.xml", "<workbook><sheets><sheet"}}),  // broken XML
        sheetWith(R"(<c t="s"><v>4</v></c>)"),                       // no such shared string
        sheetWith(R"(<c r="A0"><v>1</v></c>)"),                      // row 0 does not exist
        sheetWith(R"(<c r="ZZZZ1"><v>1</v></c>)"),                   // beyond the last column
        package({{"xl/workbook.xml", kWorkbookXml}}),               // the sheet's part missing
    };
    for (const auto& image : images) {
        Workbook book;
        std::string error;
        EXPECT_FALSE(readImage(image, book, error)) << image.size();
        EXPECT_FALSE(error.empty());
    }
    Workbook book;
    std::string error;
    EXPECT_FALSE(ReadWorkbook(tempPath("missing.xlsx"), book, error));
    EXPECT_FALSE(ReadXls(tempPath("missing.xls"), book, error));
    const std::string notBiff = tempPath("text.xls");
    ASSERT_TRUE(WriteCsvFile(notBiff, {"just text"}));
    EXPECT_FALSE(ReadXls(notBiff, book, error));
    EXPECT_FALSE(ReadWorkbook(notBiff, book, error));
    std::remove(notBiff.c_str());
}

}  // namespace
}  // namespace pv
