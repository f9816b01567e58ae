#include "editing/ui/ParamPrintout.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include "editing/ui/ParamListRows.h"
#include "res/UiTexts.h"

namespace pv::ui {

namespace {
// Heights of the three fonts, in 0.1 mm.
constexpr int kBodyHeight = 32, kHeadingHeight = 38, kTitleHeight = 60;
constexpr int kFirstRowY = -300, kRowStep = 50;

QFont printFont(int height01mm, int weight, double unit) {
    QFont f(ui_text::kPrintFont);
    f.setPixelSize(std::max(1, int(height01mm * unit + 0.5)));
    f.setWeight(QFont::Weight(weight));
    return f;
}
}  // namespace

ParamPrintout::ParamPrintout(const ParamTable& table, int selectedGroup)
    : table_(table),
      selectedGroup_(selectedGroup),
      rows_(CountParamListRows(table, selectedGroup)) {}

int ParamPrintout::print(QPrinter& printer) const {
    if (rows_ == 0) return 0;
    printer.setFullPage(true);
    const QRectF paperMm = printer.paperRect(QPrinter::Millimeter);
    w_ = int(paperMm.width() * 10) - 200;
    h_ = int(paperMm.height() * 10) - 500;
    const double unit = printer.resolution() / 254.0;  // device pixels per 0.1 mm
    const int pages = pageCount();
    int from = 1, to = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(pages, printer.toPage() > 0 ? printer.toPage() : pages);
    }
    if (from > to) return 0;
    QPainter p;
    if (!p.begin(&printer)) return 0;
    int printed = 0;
    for (int page = from; page <= to; ++page) {
        if (printed > 0) printer.newPage();
        printPage(p, unit, page, (page - 1) * kRowsPerPage);
        ++printed;
    }
    p.end();
    return printed;
}

void ParamPrintout::printPage(QPainter& p, double unit, int page, int firstRow) const {
    // Positions are given as in the layout (x right, y up from the top edge, so negative).
    auto at = [unit](int x, int y) { return QPointF(x * unit, -y * unit); };
    auto text = [&](int x, int y, const QString& s) { p.drawText(at(x, y), s); };

    // The thinnest weight asked of a face that has no thinner cut prints as regular; a face
    // with a hairline cut would print the body too faint to read, so the body is regular.
    const QFont body = printFont(kBodyHeight, QFont::Normal, unit);
    const QFont heading = printFont(kHeadingHeight, 700, unit);
    const QFont title = printFont(kTitleHeight, 900, unit);

    p.setFont(title);
    const QString titleText = ui_text::kPrintTitle;
    const double titleWidth = p.fontMetrics().horizontalAdvance(titleText);
    p.drawText(at(w_ / 2 + 150, -80) - QPointF(titleWidth / 2, 0), titleText);

    const int xName = 500, xDefault = 7 * w_ / 10 + 150, xSet = 10 * w_ / 11 + 80;
    p.setFont(heading);
    text(xName, -200, ui_text::kColName);
    text(xDefault, -200, ui_text::kColDefault);
    text(xSet, -200, ui_text::kColSet);
    p.setPen(QPen(Qt::black, std::max(1.0, 3 * unit)));
    p.drawLine(at(100, -250), at(w_ + 100, -250));

    const auto rows = BuildParamListRows(table_, selectedGroup_);
    const int last = std::min<int>(int(rows.size()), firstRow + kRowsPerPage);
    for (int i = firstRow; i < last; ++i) {
        const int y = kFirstRowY - (i - firstRow) * kRowStep;
        const auto& r = rows[i];
        const auto& group = table_.groups[r.group];
        if (r.isGroupRow()) {
            p.setFont(heading);
            text(160, y, "[" + QString::fromStdString(group.name) + "]");
            continue;
        }
        const auto& rec = group.params[r.index];
        p.setFont(body);
        // A long name is cut short rather than run into the default column.
        const int room = int((xDefault - xName - 30) * unit);
        text(xName, y,
             p.fontMetrics().elidedText(QString::fromStdString(rec.label), Qt::ElideRight, room));
        text(xDefault, y, QString::fromStdString(rec.defaultValue));
        text(xSet, y, QString::fromStdString(rec.setValue));
    }

    p.setFont(body);
    const QString footer = QString("%1 %2").arg(ui_text::kPrintPage).arg(page);
    const double footerWidth = p.fontMetrics().horizontalAdvance(footer);
    p.drawText(at(w_ / 2 + 100, -(h_ + 350)) - QPointF(footerWidth / 2, 0), footer);
}

}  // namespace pv::ui
