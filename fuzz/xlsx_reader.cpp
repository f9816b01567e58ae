// The .xlsx reader on damaged packages: a broken zip, a part that is not XML, cell references
// and shared-string indexes out of range are refused with a reason, never a crash; a workbook
// that is taken has sheets whose cells lie inside the sheet's limits, and its Group sheets
// import into a parameter table without a crash.

#include "FuzzSupport.h"
#include "editing/ParamExchange.h"
#include "editing/Workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pv::Workbook book;
    std::string error;
    if (!pv::ReadXlsxBytes(data, size, book, error)) {
        PV_FUZZ_CHECK(!error.empty());
        return 0;
    }
    PV_FUZZ_CHECK(!book.sheets.empty());
    for (const auto& sheet : book.sheets)
        for (const auto& [row, cells] : sheet.rows) {
            PV_FUZZ_CHECK(row >= 0 && row < 1048576);
            for (const auto& [column, cell] : cells) PV_FUZZ_CHECK(column >= 0 && column < 16384);
        }
    static pv::ParamTable table = pv::fuzz::Definitions();
    int applied = 0;
    pv::WorkbookImportStop stop;
    if (!pv::ApplyWorkbookImport(table, book, {}, applied, stop)) PV_FUZZ_CHECK(stop.row >= 3);
    return 0;
}
