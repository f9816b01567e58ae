#pragma once
// The printout of the parameter list. Pages are laid out in units of 0.1 mm measured from the
// top-left corner of the paper, with y growing upwards as drawing offices count it (so rows sit at
// negative y): title, a line naming project, model, drive and date, column headings, a rule, 49
// lines of rows a page and "Page n of m" in the footer. A name too long for its column wraps onto
// the next lines and its row grows; a row is never split over two pages.

#include <QString>
#include <QStringList>
#include <vector>

#include "project/ParamTable.h"

class QFontMetricsF;
class QPainter;
class QPrinter;

namespace pv::ui {

// What the printout's header says about the project and the drive; an empty field is left out.
struct ParamPrintHeader {
    QString project;  // file name; empty for a project never saved
    QString model;
    QString version;  // the drive's version, once linked or read
    QString station;
    QString date;
    QString text() const;
};

class ParamPrintout {
public:
    static constexpr int kRowsPerPage = 49;  // lines a page holds

    // Pages for a number of rows of one line each: a started page counts.
    static int PageCount(int rows) { return rows / kRowsPerPage + (rows % kRowsPerPage ? 1 : 0); }
    // The footer of page `page` of `pages`.
    static QString PageText(int page, int pages);
    // `text` broken at spaces (inside a word only when the word alone is too wide) into lines
    // no wider than `width` in the metrics' units, the lines after the first `indent` narrower
    // (they hang under the name, not the code); at least one line.
    static QStringList WrapText(const QString& text, const QFontMetricsF& metrics, double width,
                                double indent = 0);

    ParamPrintout(const ParamTable& table, int selectedGroup, bool readColumn = false,
                  ParamPrintHeader header = {});

    int rowCount() const { return rows_; }
    // Pages while no name wraps; print() lays the rows out on the paper and may need more.
    int pageCount() const { return PageCount(rows_); }

    // Where each row of the list lands on the paper.
    struct PlacedRow {
        int page = 1;      // 1-based
        int line = 0;      // first line on its page, 0..kRowsPerPage-1
        QStringList name;  // the name column's lines (the group name for a group row)
        int indent = 0;    // of the lines after the first, in 0.1 mm
    };
    struct Layout {
        std::vector<PlacedRow> rows;  // one per list row, in list order
        int pages = 0;
    };
    // Lays the rows out for the paper and resolution of `printer`.
    Layout layout(QPrinter& printer) const;

    // Prints the pages the printer asks for (all when no range is set). Returns the pages
    // printed; 0 when the printer could not be opened or there is nothing to print.
    int print(QPrinter& printer) const;

private:
    struct Columns {
        int name, defaultValue, set, read;  // x in 0.1 mm; read < 0 when not printed
    };
    Columns columns() const;
    void measure(QPrinter& printer) const;
    void printPage(QPainter& p, double unit, int page, const Layout& layout) const;

    const ParamTable& table_;
    int selectedGroup_;
    bool readColumn_;
    ParamPrintHeader header_;
    int rows_;
    mutable int w_ = 0;  // printable width in 0.1 mm less the margins, set when printing begins
    mutable int h_ = 0;
};

}  // namespace pv::ui
