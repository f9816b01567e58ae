#pragma once
// The printout of the parameter list. Pages are laid out in units of 0.1 mm measured from the
// top-left corner of the paper, with y growing upwards as drawing offices count it (so rows sit at
// negative y): title, column headings, a rule, 49 rows a page and the page number in the footer.

#include <QString>

#include "project/ParamTable.h"

class QPrinter;
class QPainter;

namespace pv::ui {

class ParamPrintout {
public:
    static constexpr int kRowsPerPage = 49;

    // Pages for a number of rows: a started page counts.
    static int PageCount(int rows) { return rows / kRowsPerPage + (rows % kRowsPerPage ? 1 : 0); }

    ParamPrintout(const ParamTable& table, int selectedGroup);

    int rowCount() const { return rows_; }
    int pageCount() const { return PageCount(rows_); }

    // Prints the pages the printer asks for (all when no range is set). Returns the pages
    // printed; 0 when the printer could not be opened or there is nothing to print.
    int print(QPrinter& printer) const;

private:
    void printPage(QPainter& p, double unit, int page, int firstRow) const;

    const ParamTable& table_;
    int selectedGroup_;
    int rows_;
    mutable int w_ = 0;  // printable width in 0.1 mm less the margins, set when printing begins
    mutable int h_ = 0;
};

}  // namespace pv::ui
