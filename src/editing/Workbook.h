#pragma once
// Spreadsheet workbooks held in memory, and the one place that reads and writes them as files:
// .xlsx is written with libxlsxwriter and read with libzip + pugixml, .xls (BIFF, as older
// spreadsheet programs save it) is read with libfreexl. Nothing in the Debian archive writes
// BIFF, so a workbook is always written as .xlsx. Parameter export/import and the graph data use
// this interface; no other file names those libraries.
//
// A damaged file (zip, XML or BIFF) is refused with a reason in `error`, never trusted: every
// size and index read from the file is checked before use.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pv {

struct WorkbookCell {
    enum class Kind { Empty, Text, Number };
    Kind kind = Kind::Empty;
    std::string text;   // Text cells (UTF-8)
    double number = 0;  // Number cells (a date or time is its serial number)
};

struct WorkbookSheet {
    std::string name;
    // Row -> column -> cell, both counted from 0 (row 0 is the sheet's row 1, column 0 is A).
    std::map<int, std::map<int, WorkbookCell>> rows;
    // Column -> width in characters, for the writer; readers leave it empty.
    std::map<int, double> columnWidths;

    // nullptr for a cell the sheet does not hold.
    const WorkbookCell* cell(int row, int column) const;
    // The cell's text: Text as it is, Number in the shortest form that reads back to the same
    // value ("12.5", "3"), Empty as "".
    std::string text(int row, int column) const;
    void setText(int row, int column, std::string text);
    void setNumber(int row, int column, double number);
};

struct Workbook {
    std::vector<WorkbookSheet> sheets;

    WorkbookSheet& addSheet(std::string name);
    const WorkbookSheet* sheet(std::string_view name) const;
};

// The shortest decimal text of a number that reads back to the same double.
std::string FormatCellNumber(double number);

// Longest file a reader takes; larger ones are refused rather than read into memory.
inline constexpr size_t kWorkbookMaxBytes = 64u << 20;

// Writes the workbook as .xlsx. False with a reason in `error`.
bool WriteXlsx(const std::string& path, const Workbook& book, std::string& error);
// Reads an .xlsx image held in memory, or the file at `path`.
bool ReadXlsxBytes(const uint8_t* data, size_t size, Workbook& book, std::string& error);
bool ReadXlsx(const std::string& path, Workbook& book, std::string& error);
// Reads an .xls (BIFF) file.
bool ReadXls(const std::string& path, Workbook& book, std::string& error);
// Reads .xls or .xlsx, chosen by the file's first bytes (a zip archive is .xlsx, a compound
// document is .xls), so a misnamed file still reads.
bool ReadWorkbook(const std::string& path, Workbook& book, std::string& error);

}  // namespace pv
