#include "editing/ParamExchange.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "editing/CsvLines.h"
#include "res/Format.h"
#include "res/ExchangeTexts.h"

namespace pv {

namespace {

constexpr int kCsvHeaderLines = 3;
// Workbook rows (from 0): the column names, the heading row that import skips, the parameters.
constexpr int kColumnNameRow = 0, kFirstParamRow = 2;
constexpr const char* kColumnNames[3] = {"Parameter_Descriptions", "Factory_Setting",
                                         "Current_Value"};

std::string twoDigits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

std::string sheetName(int group) { return "Group" + std::to_string(group); }

// The record a file's code names: group and index from the first two and the fourth and fifth
// characters, as atoi reads them; nullptr when the table has no such record.
ParamRecord* namedRecord(ParamTable& table, int group, const std::string& code) {
    const int index = std::atoi(code.substr(3, 2).c_str());
    if (index < 0 || index >= kParamsPerGroup) return nullptr;
    return table.record(group, index);
}

std::string upperExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

// The file dialog's default extension: a name without one gets it. A workbook is always .xlsx,
// so a name chosen as .xls becomes .xlsx.
std::string withExtension(std::string path, const char* ext) {
    const std::string has = upperExtension(path);
    if (std::string_view(ext) == "xlsx" && has == "XLS") return path + "x";
    if (has.empty()) path += std::string(".") + ext;
    return path;
}

void markModified(CM240Doc& doc, int applied) {
    if (applied > 0) doc.modified = true;
}

}  // namespace

std::vector<std::string> BuildExportCsvLines(const ParamTable& table, const std::string& modelName,
                                             std::time_t when) {
    std::tm t{};
    localtime_r(&when, &t);
    std::vector<std::string> lines = {
        "Model:" + modelName,
        "Parameter Name,Set Value",
        "Date: " + twoDigits(t.tm_mon + 1) + "-" + twoDigits(t.tm_mday) + "-" +
            std::to_string(t.tm_year + 1900) + ",Time: " + twoDigits(t.tm_hour) + ":" +
            twoDigits(t.tm_min) + ":" + twoDigits(t.tm_sec),
    };
    for (const ParamGroup& g : table.groups) {
        if (!g.defined) continue;
        for (const ParamRecord& r : g.params)
            if (r.defined) lines.push_back(r.label + "," + r.setValue);
    }
    return lines;
}

Workbook BuildExportWorkbook(const ParamTable& table) {
    Workbook book;
    const int groups = std::min<int>(kWorkbookGroups, static_cast<int>(table.groups.size()));
    for (int g = 0; g < groups; ++g) {
        const ParamGroup& group = table.groups[g];
        if (!group.defined) continue;
        WorkbookSheet& sheet = book.addSheet(sheetName(g));
        for (int c = 0; c < 3; ++c) sheet.setText(kColumnNameRow, c, kColumnNames[c]);
        sheet.setText(kColumnNameRow + 1, 0, FormatGroupCode(g) + " " + group.name);
        sheet.setText(kColumnNameRow + 1, 1, "Factory Setting");
        sheet.setText(kColumnNameRow + 1, 2, "Current Value");
        sheet.columnWidths = {{0, 48}, {1, 16}, {2, 16}};
        int row = kFirstParamRow;
        for (const ParamRecord& r : group.params) {
            if (!r.defined) continue;
            sheet.setText(row, 0, r.label);
            sheet.setText(row, 1, r.defaultValue);
            sheet.setText(row, 2, r.setValue);
            ++row;
        }
    }
    return book;
}

int ApplyCsvImport(ParamTable& table, const std::vector<std::string>& lines, int& applied) {
    applied = 0;
    for (size_t n = kCsvHeaderLines; n < lines.size(); ++n) {
        const std::vector<std::string> fields = SplitCsvFields(lines[n]);
        if (fields.size() != 2 || fields[0].size() < 5) return static_cast<int>(n);
        const int group = std::atoi(fields[0].substr(0, 2).c_str());
        ParamRecord* r = namedRecord(table, group, fields[0]);
        if (!r) return static_cast<int>(n);
        r->setValue = fields[1];
        ++applied;
    }
    return -1;
}

std::string CellValueText(const WorkbookCell& cell, const ParamRecord& record,
                          const ParamDisplaySettings& settings) {
    if (cell.kind == WorkbookCell::Kind::Text) return cell.text;
    if (cell.kind == WorkbookCell::Kind::Empty) return {};
    const double v = cell.number;
    if (isDate(record.valueKind) && v >= 1 && v < 2958466) {
        using namespace std::chrono;
        const year_month_day d{sys_days{1899y / December / 30} + days{std::lround(std::floor(v))}};
        return twoDigits(static_cast<int>(static_cast<unsigned>(d.month()))) + "/" +
               twoDigits(static_cast<int>(static_cast<unsigned>(d.day())));
    }
    const int places = decimals(record.valueKind, record.attr, settings);
    if (places > 0) return res::Format("%.*f", places, v);
    if (v == std::floor(v) && std::fabs(v) < 1e15) return res::Format("%.0f", v);
    return FormatCellNumber(v);
}

bool ApplyWorkbookImport(ParamTable& table, const Workbook& book,
                         const ParamDisplaySettings& settings, int& applied,
                         WorkbookImportStop& stop) {
    applied = 0;
    for (int g = 0; g < kWorkbookGroups; ++g) {
        const WorkbookSheet* sheet = book.sheet(sheetName(g));
        if (!sheet) continue;
        // The fields are found by their column names, as a database query names them; a sheet
        // without them is read as columns A, B, C.
        int columns[3] = {0, 1, 2};
        for (int c = 0; c < 3; ++c)
            if (const auto row = sheet->rows.find(kColumnNameRow); row != sheet->rows.end())
                for (const auto& [col, cell] : row->second)
                    if (cell.kind == WorkbookCell::Kind::Text && cell.text == kColumnNames[c])
                        columns[c] = col;
        for (const auto& [row, cells] : sheet->rows) {
            if (row < kFirstParamRow) continue;
            const std::string label = sheet->text(row, columns[0]);
            // Notes beside the table (other columns only) are not parameter rows.
            if (label.empty() && sheet->text(row, columns[1]).empty() &&
                sheet->text(row, columns[2]).empty())
                continue;
            ParamRecord* r = label.size() >= 5 ? namedRecord(table, g, label) : nullptr;
            if (!r) {
                stop.row = row + 1;
                stop.text = sheet->name + ": ";
                for (const auto& [col, cell] : cells)
                    stop.text += (col == cells.begin()->first ? "" : ",") + sheet->text(row, col);
                return false;
            }
            const WorkbookCell empty;
            const WorkbookCell* factory = sheet->cell(row, columns[1]);
            const WorkbookCell* current = sheet->cell(row, columns[2]);
            r->defaultValue = CellValueText(factory ? *factory : empty, *r, settings);
            r->setValue = CellValueText(current ? *current : empty, *r, settings);
            ++applied;
        }
    }
    return true;
}

bool ExportParameters(const CM240Doc& doc, const std::string& modelName, ExchangeFormat format,
                      Prompts& prompts, std::time_t when) {
    return format == ExchangeFormat::Csv ? ExportCsv(doc, modelName, prompts, when)
                                         : ExportExcel(doc, prompts);
}

bool ExportCsv(const CM240Doc& doc, const std::string& modelName, Prompts& prompts,
               std::time_t when) {
    const auto path = prompts.chooseFile(
        {FileDialog::Save, text::kExportCaption, text::kExportCsvFilter, ""});
    if (!path) return false;
    std::vector<std::string> lines;
    {
        std::lock_guard lock(doc.tableMutex());
        lines = BuildExportCsvLines(doc.table, modelName, when);
    }
    if (!WriteCsvFile(withExtension(*path, "csv"), lines)) {
        prompts.message(text::kOpenFileFailed);
        return false;
    }
    prompts.message(text::kExportSuccess);
    return true;
}

bool ExportExcel(const CM240Doc& doc, Prompts& prompts) {
    const auto chosen = prompts.chooseFile(
        {FileDialog::Save, text::kExportCaption, text::kExportExcelFilter, text::kExcelDefaultName});
    if (!chosen) return false;
    const std::string path = withExtension(*chosen, "xlsx");
    Workbook book;
    {
        std::lock_guard lock(doc.tableMutex());
        book = BuildExportWorkbook(doc.table);
    }
    std::string error;
    if (!WriteXlsx(path, book, error)) {
        prompts.message(res::Format(text::kWorkbookUnwritable, path.c_str(), error.c_str()));
        return false;
    }
    prompts.message(text::kExportSuccess);
    return true;
}

bool ImportParameters(CM240Doc& doc, Prompts& prompts, const ParamDisplaySettings& settings) {
    const auto path =
        prompts.chooseFile({FileDialog::Open, text::kImportCaption, text::kImportFilter, ""});
    if (!path) return false;
    const std::string ext = upperExtension(*path);
    if (ext == "XLS" || ext == "XLSX") return ImportExcel(doc, *path, prompts, settings);
    if (ext == "CSV") return ImportCsv(doc, *path, prompts);
    return false;
}

bool ImportCsv(CM240Doc& doc, const std::string& path, Prompts& prompts) {
    std::vector<std::string> lines;
    if (!ReadCsvFile(path, lines)) {
        prompts.message(text::kOpenFileFailed);
        return false;
    }
    int applied = 0, bad = -1;
    {
        std::lock_guard lock(doc.tableMutex());
        bad = ApplyCsvImport(doc.table, lines, applied);
    }
    markModified(doc, applied);
    if (bad >= 0) {
        prompts.message(res::Format(text::kImportLineError, bad, lines[bad].c_str()));
        return false;
    }
    prompts.message(text::kImportSuccess);
    return true;
}

bool ImportExcel(CM240Doc& doc, const std::string& path, Prompts& prompts,
                 const ParamDisplaySettings& settings) {
    Workbook book;
    std::string error;
    if (!ReadWorkbook(path, book, error)) {
        if (error == text::kWorkbookNotFound)
            prompts.message(text::kOpenFileFailed);
        else
            prompts.message(res::Format(text::kWorkbookUnreadable, path.c_str(), error.c_str()));
        return false;
    }
    int applied = 0;
    WorkbookImportStop stop;
    bool complete = false;
    {
        std::lock_guard lock(doc.tableMutex());
        complete = ApplyWorkbookImport(doc.table, book, settings, applied, stop);
    }
    markModified(doc, applied);
    if (!complete) {
        prompts.message(res::Format(text::kImportLineError, stop.row, stop.text.c_str()));
        return false;
    }
    prompts.message(text::kImportSuccess);
    return true;
}

}  // namespace pv
