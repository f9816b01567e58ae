#include "monitor/GraphFile.h"

#include <cmath>

#include "editing/CsvLines.h"
#include "editing/Workbook.h"
#include "res/MonitorTexts.h"

namespace pv::monitor {

namespace {

constexpr int kFirstChannelColumn = 2;  // A "Index", B "Time", then the four channels
constexpr int kFirstSampleRow = 3;      // row 1 headings, rows 2 and 3 "Min" and "Max"

}  // namespace

bool SaveGraphCsv(const std::string& path, const GraphRecording& recording) {
    return WriteCsvFile(path, GraphCsvLines(recording));
}

bool LoadGraphCsv(const std::string& path, GraphRecording& recording, bool& unreadable) {
    std::vector<std::string> lines;
    unreadable = !ReadCsvFile(path, lines);
    return !unreadable && ParseGraphCsvLines(lines, recording);
}

bool SaveGraphWorkbook(const std::string& path, const GraphRecording& r, std::string& error) {
    namespace t = res::monitor;
    Workbook book;
    WorkbookSheet& sheet = book.addSheet(t::kGraphSheet);
    sheet.setText(0, 0, t::kIndexColumn);
    sheet.setText(0, 1, t::kTimeColumn);
    sheet.setText(1, 1, t::kMinLabel);
    sheet.setText(2, 1, t::kMaxLabel);
    for (int c = 0; c < kGraphChannels; ++c) {
        const auto& ch = r.channels[static_cast<size_t>(c)];
        sheet.setText(0, kFirstChannelColumn + c, ItemHeading(GraphItemAt(ch.selection)));
        sheet.setText(1, kFirstChannelColumn + c, ch.minimum);
        sheet.setText(2, kFirstChannelColumn + c, ch.maximum);
        sheet.columnWidths[kFirstChannelColumn + c] = 18;
    }
    for (std::size_t i = 0; i < r.samples.size(); ++i) {
        const int row = kFirstSampleRow + static_cast<int>(i);
        sheet.setNumber(row, 0, static_cast<double>(i));
        sheet.setNumber(row, 1, std::round(r.samples[i].time * 1000.0) / 1000.0);
        for (int c = 0; c < kGraphChannels; ++c) {
            // The number as its format shows it, so the sheet and the CSV agree.
            const double v = std::stod(FormatValue(r.samples[i].values[static_cast<size_t>(c)],
                                                   r.decimals[static_cast<size_t>(c)]));
            sheet.setNumber(row, kFirstChannelColumn + c, v);
        }
    }
    return WriteXlsx(path, book, error);
}

bool LoadGraphWorkbook(const std::string& path, GraphRecording& recording, std::string& error) {
    namespace t = res::monitor;
    Workbook book;
    if (!ReadWorkbook(path, book, error)) return false;
    const WorkbookSheet* sheet = book.sheet(t::kGraphSheet);
    if (!sheet || sheet->text(0, 0) != t::kIndexColumn || sheet->text(0, 1) != t::kTimeColumn) {
        error = t::kImportFileError;
        return false;
    }
    // The same rows as the CSV export's lines, so one reader judges both.
    std::vector<std::string> lines(3);
    lines[1] = t::kMinLabel;
    lines[2] = t::kMaxLabel;
    for (int c = 0; c < kGraphChannels; ++c) {
        lines[0] += "," + sheet->text(0, kFirstChannelColumn + c);
        lines[1] += "," + sheet->text(1, kFirstChannelColumn + c);
        lines[2] += "," + sheet->text(2, kFirstChannelColumn + c);
    }
    for (int row = kFirstSampleRow; sheet->cell(row, 0); ++row) {
        std::string line = sheet->text(row, 0);
        for (int c = 0; c < kGraphChannels; ++c) line += "," + sheet->text(row, kFirstChannelColumn + c);
        lines.push_back(line + "," + sheet->text(row, 1));
    }
    if (!ParseGraphCsvLines(lines, recording)) {
        error = t::kImportFileError;
        return false;
    }
    return true;
}

}  // namespace pv::monitor
