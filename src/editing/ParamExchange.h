#pragma once
// Export and Import of the parameter view: a project's parameter set to and from a CSV file or a
// workbook (one sheet per group "Group0".."Group23"). Every question and message goes through
// Prompts; the desktop shows the "Export/Import Format" dialog itself and passes the choice in,
// the command line takes it from the file name.

#include <ctime>
#include <string>
#include <vector>

#include "editing/Workbook.h"
#include "project/CM240Doc.h"
#include "project/ParamAttr.h"
#include "res/Prompts.h"

namespace pv {

// The radio buttons of the "Export/Import Format" dialog, by their values.
enum class ExchangeFormat { Excel = 0, Csv = 1 };

// Groups a workbook holds at most ("Group0".."Group23").
inline constexpr int kWorkbookGroups = 24;

// The lines of an exported CSV file: "Model:" + name, the column heading, the date and time of
// `when` (local time), then "label,setValue" of every defined parameter of every defined group.
std::vector<std::string> BuildExportCsvLines(const ParamTable& table, const std::string& modelName,
                                             std::time_t when);
// The exported workbook: per defined group a sheet with the column names, a heading row, and
// label / default value / set value of every defined parameter, all as text.
Workbook BuildExportWorkbook(const ParamTable& table);

// Applies the lines of an import file. Returns -1 when every parameter line was taken, else the
// number of the first bad line (lines counted from 0); lines before it stay applied. `applied`
// counts the parameters set.
int ApplyCsvImport(ParamTable& table, const std::vector<std::string>& lines, int& applied);
// Applies a workbook's sheets "Group0".."Group23" (factory and current values). Returns true
// when every row was taken; else `badRow` is the 1-based row and `badText` the row's text of the
// sheet that stopped the import. A number is written in the parameter's own format.
struct WorkbookImportStop {
    int row = 0;
    std::string text;
};
bool ApplyWorkbookImport(ParamTable& table, const Workbook& book,
                         const ParamDisplaySettings& settings, int& applied,
                         WorkbookImportStop& stop);
// The text a number from a spreadsheet cell stands for in a parameter of this kind: decimals
// as the parameter shows them, whole numbers for integers, options and hexadecimal digits, a
// date's serial number as "MM/DD".
std::string CellValueText(const WorkbookCell& cell, const ParamRecord& record,
                          const ParamDisplaySettings& settings);

// The Export command with the format chosen: asks for the file, writes it, tells the result.
bool ExportParameters(const CM240Doc& doc, const std::string& modelName, ExchangeFormat format,
                      Prompts& prompts, std::time_t when = std::time(nullptr));
bool ExportCsv(const CM240Doc& doc, const std::string& modelName, Prompts& prompts,
               std::time_t when = std::time(nullptr));
bool ExportExcel(const CM240Doc& doc, Prompts& prompts);

// The Import command: asks for the file and reads it by its extension (.xls/.xlsx workbook,
// .csv). True when the whole file was applied. Whatever was applied marks the project modified.
bool ImportParameters(CM240Doc& doc, Prompts& prompts, const ParamDisplaySettings& settings);
bool ImportCsv(CM240Doc& doc, const std::string& path, Prompts& prompts);
bool ImportExcel(CM240Doc& doc, const std::string& path, Prompts& prompts,
                 const ParamDisplaySettings& settings);

}  // namespace pv
