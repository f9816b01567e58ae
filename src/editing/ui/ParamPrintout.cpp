#include "editing/ui/ParamPrintout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include "editing/ui/ParamListRows.h"
#include "res/UiTexts.h"

namespace pv::ui {

namespace {
// Heights of the three fonts, in 0.1 mm.
constexpr int kBodyHeight = 32, kHeadingHeight = 38, kTitleHeight = 60;
constexpr int kFirstRowY = -300, kRowStep = 50, kHeaderY = -145;

QFont printFont(int height01mm, int weight, double unit) {
    QFont f(ui_text::kPrintFont);
    f.setPixelSize(std::max(1, int(height01mm * unit + 0.5)));
    f.setWeight(QFont::Weight(weight));
    return f;
}

// Device pixels per 0.1 mm.
double unitOf(const QPrinter& printer) {
    return printer.resolution() / 254.0;
}
}  // namespace

QString ParamPrintHeader::text() const {
    QStringList parts;
    auto add = [&parts](const char* label, const QString& value) {
        if (!value.isEmpty()) parts << QString("%1 %2").arg(label, value);
    };
    add(ui_text::kPrintProject, project);
    add(ui_text::kPrintModel, model);
    add(ui_text::kPrintVersion, version);
    add(ui_text::kPrintStation, station);
    add(ui_text::kPrintDate, date);
    return parts.join("    ");
}

QString ParamPrintout::PageText(int page, int pages) {
    return QString(ui_text::kPrintPageOf).arg(ui_text::kPrintPage).arg(page).arg(pages);
}

QStringList ParamPrintout::WrapText(const QString& text, const QFontMetricsF& metrics, double width,
                                    double indent) {
    QStringList lines;
    QString line;
    auto fits = [&](const QString& s) {
        return metrics.horizontalAdvance(s) <= (lines.isEmpty() ? width : width - indent);
    };
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + ' ' + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty()) lines << line;
        line.clear();
        // A word wider than the column on its own is broken where the column ends.
        for (const QChar c : word) {
            if (!line.isEmpty() && !fits(line + c)) {
                lines << line;
                line.clear();
            }
            line += c;
        }
    }
    if (!line.isEmpty() || lines.isEmpty()) lines << line;
    return lines;
}

ParamPrintout::ParamPrintout(const ParamTable& table, int selectedGroup, bool readColumn,
                             ParamPrintHeader header)
    : table_(table),
      selectedGroup_(selectedGroup),
      readColumn_(readColumn),
      header_(std::move(header)),
      rows_(CountParamListRows(table, selectedGroup)) {}

ParamPrintout::Columns ParamPrintout::columns() const {
    // Without the read value the columns stand where the list's printout always had them; with
    // it the name column gives up the room of the fourth.
    if (!readColumn_) return {500, 7 * w_ / 10 + 150, 10 * w_ / 11 + 80, -1};
    return {500, 64 * w_ / 100 + 100, 75 * w_ / 100 + 100, 87 * w_ / 100 + 100};
}

void ParamPrintout::measure(QPrinter& printer) const {
    printer.setFullPage(true);
    const QRectF paperMm = printer.paperRect(QPrinter::Millimeter);
    w_ = int(paperMm.width() * 10) - 200;
    h_ = int(paperMm.height() * 10) - 500;
}

ParamPrintout::Layout ParamPrintout::layout(QPrinter& printer) const {
    measure(printer);
    const double unit = unitOf(printer);
    const QFontMetricsF body(printFont(kBodyHeight, QFont::Normal, unit), &printer);
    const Columns c = columns();
    const double room = (c.defaultValue - c.name - 30) * unit;

    Layout out;
    int page = 1, line = 0;
    for (const auto& r : BuildParamListRows(table_, selectedGroup_)) {
        const auto& group = table_.groups[r.group];
        PlacedRow placed;
        if (r.isGroupRow()) {
            placed.name << "[" + QString::fromStdString(group.name) + "]";
        } else {
            const auto& rec = group.params[r.index];
            const double indent =
                body.horizontalAdvance(QString::fromStdString(std::string(rec.code())) + ' ');
            placed.name = WrapText(QString::fromStdString(rec.label), body, room, indent);
            placed.indent = int(indent / unit + 0.5);
        }
        const int lines = std::min<int>(int(placed.name.size()), kRowsPerPage);
        if (line > 0 && line + lines > kRowsPerPage) {
            ++page;
            line = 0;
        }
        placed.page = page;
        placed.line = line;
        line += lines;
        out.rows.push_back(std::move(placed));
    }
    out.pages = out.rows.empty() ? 0 : page;
    return out;
}

int ParamPrintout::print(QPrinter& printer) const {
    if (rows_ == 0) return 0;
    const Layout placed = layout(printer);
    const double unit = unitOf(printer);
    int from = 1, to = placed.pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(placed.pages, printer.toPage() > 0 ? printer.toPage() : placed.pages);
    }
    if (from > to) return 0;
    QPainter p;
    if (!p.begin(&printer)) return 0;
    int printed = 0;
    for (int page = from; page <= to; ++page) {
        if (printed > 0) printer.newPage();
        printPage(p, unit, page, placed);
        ++printed;
    }
    p.end();
    return printed;
}

void ParamPrintout::printPage(QPainter& p, double unit, int page, const Layout& layout) const {
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

    p.setFont(body);
    text(100, kHeaderY, header_.text());

    const Columns c = columns();
    p.setFont(heading);
    text(c.name, -200, ui_text::kColName);
    text(c.defaultValue, -200, ui_text::kColDefault);
    text(c.set, -200, ui_text::kColSet);
    if (c.read >= 0) text(c.read, -200, ui_text::kColRead);
    p.setPen(QPen(Qt::black, std::max(1.0, 3 * unit)));
    p.drawLine(at(100, -250), at(w_ + 100, -250));

    const auto rows = BuildParamListRows(table_, selectedGroup_);
    for (std::size_t i = 0; i < rows.size() && i < layout.rows.size(); ++i) {
        const PlacedRow& placed = layout.rows[i];
        if (placed.page != page) continue;
        const int y = kFirstRowY - placed.line * kRowStep;
        const auto& r = rows[i];
        if (r.isGroupRow()) {
            p.setFont(heading);
            text(160, y, placed.name.value(0));
            continue;
        }
        const auto& rec = table_.groups[r.group].params[r.index];
        p.setFont(body);
        for (int k = 0; k < placed.name.size() && placed.line + k < kRowsPerPage; ++k)
            text(c.name + (k > 0 ? placed.indent : 0), y - k * kRowStep, placed.name[k]);
        text(c.defaultValue, y, QString::fromStdString(rec.defaultValue));
        text(c.set, y, QString::fromStdString(rec.setValue));
        if (c.read >= 0) text(c.read, y, QString::fromStdString(rec.readValue));
    }

    p.setFont(body);
    const QString footer = PageText(page, layout.pages);
    const double footerWidth = p.fontMetrics().horizontalAdvance(footer);
    p.drawText(at(w_ / 2 + 100, -(h_ + 350)) - QPointF(footerWidth / 2, 0), footer);
}

}  // namespace pv::ui
