#pragma once
// Texts of parameter import and export and of the workbook files behind them. Each text is used
// verbatim; printf-style fields are filled by the caller.

namespace pv::text {

inline constexpr const char* kOpenFileFailed = "Opening the file is fail!";
// Filled with the line number (the first line is 0) and the line's text.
inline constexpr const char* kImportLineError = "Line %d (%s) of the import file is error !";
inline constexpr const char* kImportSuccess = "Import parameter success.";
inline constexpr const char* kExportSuccess = "Export parameter success.";

// The "Export/Import Format" dialog.
inline constexpr const char* kFormatCaption = "Export/Import Format";
inline constexpr const char* kFormatExcel = "Excel Format";
inline constexpr const char* kFormatCsv = "CSV Format";

// File dialogs: captions, filters, default names.
inline constexpr const char* kExportCaption = "Export";
inline constexpr const char* kImportCaption = "Import";
inline constexpr const char* kExportCsvFilter = "Export File(*.csv) (*.csv)";
inline constexpr const char* kExportExcelFilter = "Export File(*.xlsx) (*.xlsx)";
inline constexpr const char* kImportFilter =
    "Import File(*.xls;*.xlsx) (*.xls *.xlsx);;Import File(*.csv) (*.csv)";
inline constexpr const char* kExcelDefaultName = "N350 Parameter.xlsx";

// What stands in for the spreadsheet driver and the automation server: the workbook library
// refused the file. Filled with the file's path and the reason below.
inline constexpr const char* kWorkbookUnreadable = "The workbook %s cannot be read: %s";
inline constexpr const char* kWorkbookUnwritable = "The workbook %s cannot be written: %s";

// Reasons a workbook file is refused.
inline constexpr const char* kWorkbookNotFound = "the file cannot be opened";
inline constexpr const char* kWorkbookTooLarge = "the file is larger than 64 MiB";
inline constexpr const char* kWorkbookUnknownKind = "it is neither an .xlsx nor an .xls workbook";
inline constexpr const char* kWorkbookNotZip = "it is not a valid zip archive (%s)";
inline constexpr const char* kWorkbookPartMissing = "its part %s is missing";
inline constexpr const char* kWorkbookPartUnreadable = "its part %s cannot be unpacked (%s)";
inline constexpr const char* kWorkbookBadXml = "its part %s is not well-formed XML (%s)";
inline constexpr const char* kWorkbookBadCell = "its part %s holds a bad cell reference %s";
inline constexpr const char* kWorkbookBadString = "its part %s names a missing shared string";
inline constexpr const char* kWorkbookTooManyCells = "it holds more than a million cells";
inline constexpr const char* kWorkbookBadBiff = "it is not a readable .xls workbook (error %d)";
inline constexpr const char* kWorkbookReaderStopped =
    "the .xls reader stopped on it (the file is damaged)";
inline constexpr const char* kWorkbookNoSheets = "it holds no worksheet";
inline constexpr const char* kWorkbookBadSheetName = "the sheet name %s is not allowed";

}  // namespace pv::text

namespace pv::text {

// parvolt-cli export / import.
inline constexpr const char* kCliExportKind = "the export file must end in .csv or .xlsx";
inline constexpr const char* kCliImportKind = "the import file must end in .csv, .xls or .xlsx";
inline constexpr const char* kCliImportNotSaved = "The project was not saved.";

}  // namespace pv::text

namespace pv::text {

// The parameter view's commands.
inline constexpr const char* kCmdImport = "&Import Parameters...";
inline constexpr const char* kCmdExport = "E&xport Parameters...";
inline constexpr const char* kTipImport = "Import parameter values from a CSV file or a workbook";
inline constexpr const char* kTipExport = "Export the parameters to a CSV file or a workbook";
inline constexpr const char* kFormatWorkbookNote =
    "Excel Format writes an .xlsx workbook; Import reads .xlsx, .xls and .csv files.";

}  // namespace pv::text
