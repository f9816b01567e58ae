#pragma once
// The ladder on paper: every page under the project's title block (TITLE, COMPANY, AUTHOR, NOTE,
// VERSION, DATE, PAGE), the program's display lines through the last one in use under the
// headings "Line" and "Program" drawn as the editor draws them, then the list of all function
// blocks with their settings and whether the program uses them.

#include <QString>
#include <QStringList>

#include "project/CM240Doc.h"

class QPainter;
class QPrinter;

namespace pv::ui {

class CPlcView;

class LadderPrintout {
public:
    LadderPrintout(CPlcView& view, const PrintTitleBlock& title);

    // One line of the function-block list.
    struct BlockLine {
        QString kind, block, label, mode, preset, used, details;
    };
    // The list in its printed order: T1..T8, C1..C8, G1..G8, F1..F8, AS1..AS4, MD1..MD4.
    static std::vector<BlockLine> BlockLines(const PlcProgram& program);

    // Prints the pages the printer asks for (all when no range is set); the pages printed, 0 when
    // the printer could not be opened.
    int print(QPrinter& printer);
    int pageCount(QPrinter& printer) const;

private:
    struct Geometry;
    Geometry geometry(QPrinter& printer) const;
    void drawTitle(QPainter& p, const Geometry& g, int page, int pages) const;
    void drawLadderPage(QPainter& p, const Geometry& g, int first, int last) const;
    void drawBlockPage(QPainter& p, const Geometry& g, int first, int last) const;

    CPlcView& view_;
    PrintTitleBlock title_;
    std::vector<BlockLine> blocks_;
};

}  // namespace pv::ui
