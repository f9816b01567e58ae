// .xls (BIFF) workbooks, read with libfreexl. Dates and times come back from the library as
// text; they are kept as text cells.

#include <freexl.h>

#include <cstdio>

#include "editing/Workbook.h"
#include "res/ExchangeTexts.h"

namespace pv {

namespace {

constexpr size_t kMaxCells = 1000000;

std::string biffError(int code) {
    char buf[128];
    std::snprintf(buf, sizeof buf, text::kWorkbookBadBiff, code);
    return buf;
}

struct Handle {
    const void* h = nullptr;
    ~Handle() {
        if (h) freexl_close(h);
    }
};

}  // namespace

bool ReadXls(const std::string& path, Workbook& book, std::string& error) {
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
    } else {
        error = text::kWorkbookNotFound;
        return false;
    }
    Handle xls;
    int rc = freexl_open(path.c_str(), &xls.h);
    if (rc != FREEXL_OK) {
        error = biffError(rc);
        return false;
    }
    unsigned int sheetCount = 0;
    rc = freexl_get_info(xls.h, FREEXL_BIFF_SHEET_COUNT, &sheetCount);
    if (rc != FREEXL_OK) {
        error = biffError(rc);
        return false;
    }
    Workbook result;
    size_t cells = 0;
    for (unsigned int s = 0; s < sheetCount && s <= 0xFFFF; ++s) {
        const auto index = static_cast<unsigned short>(s);
        const char* name = nullptr;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if ((rc = freexl_get_worksheet_name(xls.h, index, &name)) != FREEXL_OK ||
            (rc = freexl_select_active_worksheet(xls.h, index)) != FREEXL_OK ||
            (rc = freexl_worksheet_dimensions(xls.h, &rows, &columns)) != FREEXL_OK) {
            error = biffError(rc);
            return false;
        }
        WorkbookSheet& sheet = result.addSheet(name ? name : "");
        for (unsigned int r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v;
                if ((rc = freexl_get_cell_value(xls.h, r, c, &v)) != FREEXL_OK) {
                    error = biffError(rc);
                    return false;
                }
                const int row = static_cast<int>(r), column = c;
                switch (v.type) {
                    case FREEXL_CELL_INT:
                        sheet.setNumber(row, column, v.value.int_value);
                        break;
                    case FREEXL_CELL_DOUBLE:
                        sheet.setNumber(row, column, v.value.double_value);
                        break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                    case FREEXL_CELL_DATE:
                    case FREEXL_CELL_DATETIME:
                    case FREEXL_CELL_TIME:
                        sheet.setText(row, column, v.value.text_value ? v.value.text_value : "");
                        break;
                    default:
                        continue;
                }
                if (++cells > kMaxCells) {
                    error = text::kWorkbookTooManyCells;
                    return false;
                }
            }
    }
    if (result.sheets.empty()) {
        error = text::kWorkbookNoSheets;
        return false;
    }
    book = std::move(result);
    return true;
}

}  // namespace pv
