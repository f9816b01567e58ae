#include "plc/ui/LadderPrintout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "plc/BlockRecords.h"
#include "plc/PlcEngine.h"
#include "plc/ui/CPlcView.h"
#include "plc/ui/LadderDialogs.h"
#include "res/PlcRunTexts.h"
#include "res/PlcTexts.h"

namespace pv::ui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString valueText(const BlockValue& v) {
    return q(ValueText(v, 4));
}

QString inputText(const InputRef& in) {
    return q(InputText(in));
}

QString baseText(int base) {
    switch (plc::TimerBaseMs(base)) {
        case 10: return "0.01 s";
        case 100: return "0.1 s";
        default: return "1 s";
    }
}

QString relayText(int m) {
    return m > 0 ? q(ElementName("M", m)) : QString("-");
}

QString field(const char* label, const QString& value) {
    return QString("%1 %2").arg(label, value);
}

QFont fontOf(double pixels, bool bold = false) {
    QFont f("Sans");
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

}  // namespace

std::vector<LadderPrintout::BlockLine> LadderPrintout::BlockLines(const PlcProgram& source) {
    PlcProgram program = source;
    program.computeUsedBlocks();
    const auto& used = program.used;
    std::vector<BlockLine> out;
    auto add = [&](const char* kind, const std::string& letters, int n, bool isUsed) -> BlockLine& {
        BlockLine l;
        l.kind = kind;
        l.block = q(ElementName(letters, n));
        l.label = q(SymbolOf(program, letters, n));
        l.used = isUsed ? text::kYes : text::kNo;
        out.push_back(l);
        return out.back();
    };
    auto resetText = [](const InputRef& in, bool applies) {
        return field(text::kFieldReset, applies && in.connected()
                                            ? QString("%1 %2").arg(text::kYes, inputText(in))
                                            : QString(text::kNo));
    };
    for (int n = 1; n <= kTimerCount; ++n) {
        BlockLine& l = add(text::kKindTimerName, "T", n, used.timers[n - 1]);
        if (const auto t = ReadTimer(program.timers[n - 1])) {
            l.mode = QString::number(t->mode);
            l.preset = QString("%1 \u00d7 %2").arg(valueText(t->preset), baseText(t->timeBase));
            if (t->mode == 7)
                l.preset += QString(" / %1 \u00d7 %2").arg(valueText(t->preset2), baseText(t->timeBase2));
            l.details = resetText(t->reset, TimerSettings::usesReset(t->mode));
        }
    }
    for (int n = 1; n <= kCounterCount; ++n) {
        BlockLine& l = add(text::kKindCounterName, "C", n, used.counters[n - 1]);
        if (const auto c = ReadCounter(program.counters[n - 1])) {
            l.mode = QString::number(c->mode);
            l.preset = valueText(c->preset);
            l.details = field(text::kFieldDir, inputText(c->direction)) + "   " + resetText(c->reset, true);
        }
    }
    for (int n = 1; n <= kComparatorCount; ++n) {
        BlockLine& l = add(text::kKindAnalogName, "G", n, used.comparators[n - 1]);
        if (const auto g = ReadComparator(program.comparators[n - 1])) {
            l.mode = QString::number(g->mode);
            l.preset = valueText(g->value);
            l.details = field(text::kLowerLimit, valueText(g->lower)) + "   " +
                        field(text::kUpperLimit, valueText(g->upper));
        }
    }
    for (int n = 1; n <= kDriveBlockCount; ++n) {
        BlockLine& l = add(text::kKindControlName, "F", n, used.driveBlocks[n - 1]);
        if (const auto f = ReadDriveBlock(program.driveBlocks[n - 1])) {
            l.details = QStringList{field(text::kFieldSet, valueText(f->setFreq)),
                                    field(text::kFieldSeg, valueText(f->segFreq)),
                                    field(text::kFieldAddTime, valueText(f->accTime)),
                                    field(text::kFieldDecTime, valueText(f->decTime))}
                            .join("   ");
            // The inputs on a line of their own: the row is too narrow for all six fields.
            l.details += "\n" + field(text::kFieldFwdRev, inputText(f->fwdRev)) + "   " +
                         field(text::kFieldTerminal, inputText(f->terminal));
        }
    }
    auto arith = [&](const char* kind, const std::string& letters, int n, bool isUsed,
                     const BlockRecord& r, const char* l1, const char* l2, const char* l3) {
        BlockLine& l = add(kind, letters, n, isUsed);
        if (const auto a = ReadArith(r)) {
            l.details = QStringList{field(l1, valueText(a->values[0])), field(l2, valueText(a->values[1])),
                                    field(l3, valueText(a->values[2])),
                                    field(text::kFieldErrorCoil, relayText(a->outputRelay))}
                            .join("   ");
        }
    };
    for (int n = 1; n <= kAddSubCount; ++n)
        arith(text::kKindAddSubName, "AS", n, used.addSub[n - 1], program.addSubBlocks[n - 1],
              text::kFieldAddV1, text::kFieldAddV2, text::kFieldSubV3);
    for (int n = 1; n <= kMulDivCount; ++n)
        arith(text::kKindMulDivName, "MD", n, used.mulDiv[n - 1], program.mulDivBlocks[n - 1],
              text::kFieldMulV1, text::kFieldMulV2, text::kFieldDivV3);
    return out;
}

LadderPrintout::LadderPrintout(CPlcView& view, const PrintTitleBlock& title)
    : view_(view), title_(title) {
    if (view_.editor()) blocks_ = BlockLines(view_.editor()->program());
}

// Page geometry in the printer's device pixels.
struct LadderPrintout::Geometry {
    double mm = 1;
    double width = 0, height = 0;
    double titleHeight = 0, headingTop = 0, bodyTop = 0;
    double scale = 1;       // ladder units to pixels
    double lineHeight = 0;  // of a ladder line
    double rowHeight = 0;   // of a block line
    int linesPerPage = 1, rowsPerPage = 1;
    int ladderLines = 0, ladderPages = 1, blockPages = 1;
};

LadderPrintout::Geometry LadderPrintout::geometry(QPrinter& printer) const {
    Geometry g;
    g.mm = printer.resolution() / 25.4;
    g.width = printer.width();
    g.height = printer.height();
    g.titleHeight = 30 * g.mm;
    g.headingTop = g.titleHeight + 3 * g.mm;
    g.bodyTop = g.headingTop + 7 * g.mm;
    g.scale = g.width / CPlcView::lineWidth();
    g.lineHeight = CPlcView::kLineHeight * g.scale;
    g.rowHeight = 5.5 * g.mm;
    g.linesPerPage = std::max(1, int((g.height - g.bodyTop) / g.lineHeight));
    g.rowsPerPage = std::max(1, int((g.height - g.bodyTop) / g.rowHeight));
    g.ladderLines = view_.lastUsedLine() + 1;
    g.ladderPages = std::max(1, (g.ladderLines + g.linesPerPage - 1) / g.linesPerPage);
    g.blockPages = std::max(1, (int(blocks_.size()) + g.rowsPerPage - 1) / g.rowsPerPage);
    return g;
}

int LadderPrintout::pageCount(QPrinter& printer) const {
    const Geometry g = geometry(printer);
    return g.ladderPages + g.blockPages;
}

int LadderPrintout::print(QPrinter& printer) {
    if (!view_.editor()) return 0;
    QPainter p;
    if (!p.begin(&printer)) return 0;
    const Geometry g = geometry(printer);
    const int pages = g.ladderPages + g.blockPages;
    int from = 1, to = pages;
    if (printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage(), 1, pages);
        to = std::clamp(printer.toPage() > 0 ? printer.toPage() : pages, from, pages);
    }
    int printed = 0;
    for (int page = from; page <= to; ++page) {
        if (printed > 0) printer.newPage();
        drawTitle(p, g, page, pages);
        if (page <= g.ladderPages) {
            const int first = (page - 1) * g.linesPerPage;
            drawLadderPage(p, g, first, std::min(g.ladderLines, first + g.linesPerPage) - 1);
        } else {
            const int first = (page - g.ladderPages - 1) * g.rowsPerPage;
            drawBlockPage(p, g, first, std::min(int(blocks_.size()), first + g.rowsPerPage) - 1);
        }
        ++printed;
    }
    p.end();
    return printed;
}

void LadderPrintout::drawTitle(QPainter& p, const Geometry& g, int page, int pages) const {
    const double mm = g.mm, w = g.width, half = g.titleHeight / 2;
    p.save();
    p.setPen(QPen(Qt::black, std::max(1.0, 0.3 * mm)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0, 0, w, g.titleHeight));
    p.drawLine(QPointF(0, half), QPointF(w, half));
    auto cell = [&](double x0, double x1, double y, const char* label, const QStringList& lines) {
        if (x0 > 0) p.drawLine(QPointF(x0, y), QPointF(x0, y + half));
        p.setFont(fontOf(2.4 * mm, true));
        p.drawText(QRectF(x0 + mm, y + 0.5 * mm, x1 - x0 - 2 * mm, 3 * mm), Qt::AlignLeft | Qt::AlignTop, label);
        const double size = lines.size() > 1 ? 2.8 * mm : 4 * mm;
        p.setFont(fontOf(size));
        for (int i = 0; i < lines.size(); ++i)
            p.drawText(QRectF(x0 + 2 * mm, y + 4 * mm + i * size * 1.15, x1 - x0 - 3 * mm, size * 1.3),
                       Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    };
    auto one = [](const std::string& s) { return QStringList{QString::fromStdString(s)}; };
    const PrintTitleBlock& t = title_;
    cell(0, 0.45 * w, 0, text::kBlockTitle, one(PrintTitleBlock::get(t.title)));
    cell(0.45 * w, 0.75 * w, 0, text::kBlockCompany, one(PrintTitleBlock::get(t.company)));
    cell(0.75 * w, w, 0, text::kBlockAuthor, one(PrintTitleBlock::get(t.author)));
    QStringList notes;
    for (const auto* n : {&t.note1, &t.note2, &t.note3}) notes << q(PrintTitleBlock::get(*n));
    while (!notes.isEmpty() && notes.back().isEmpty()) notes.removeLast();
    cell(0, 0.55 * w, half, text::kBlockNote, notes);
    cell(0.55 * w, 0.7 * w, half, text::kBlockVersion, one(PrintTitleBlock::get(t.version)));
    cell(0.7 * w, 0.85 * w, half, text::kBlockDate, one(PrintTitleBlock::get(t.date)));
    cell(0.85 * w, w, half, text::kBlockPage, {QString("%1 / %2").arg(page).arg(pages)});
    p.restore();
}

void LadderPrintout::drawLadderPage(QPainter& p, const Geometry& g, int first, int last) const {
    p.save();
    p.setFont(fontOf(3.2 * g.mm, true));
    p.drawText(QRectF(0, g.headingTop, 66 * g.scale, 6 * g.mm), Qt::AlignRight | Qt::AlignVCenter,
               text::kPrintLine);
    p.drawText(QRectF(84 * g.scale, g.headingTop, g.width / 2, 6 * g.mm), Qt::AlignLeft | Qt::AlignVCenter,
               text::kPrintProgram);
    p.drawLine(QPointF(0, g.bodyTop - 0.5 * g.mm), QPointF(g.width, g.bodyTop - 0.5 * g.mm));
    if (last >= first) {
        p.setClipRect(QRectF(0, g.bodyTop, g.width, (last - first + 1) * g.lineHeight));
        p.translate(0, g.bodyTop);
        p.scale(g.scale, g.scale);
        p.translate(0, -(CPlcView::kTop + first * CPlcView::kLineHeight));
        view_.printLines(p, first, last);
    }
    p.restore();
}

void LadderPrintout::drawBlockPage(QPainter& p, const Geometry& g, int first, int last) const {
    const double w = g.width, mm = g.mm;
    // Columns: Function, Fun-Block, Label, Mode, Preset Value, Used, then the block's fields.
    const double x[] = {0, 0.1 * w, 0.19 * w, 0.33 * w, 0.39 * w, 0.55 * w, 0.61 * w, w};
    const char* heads[] = {text::kPrintFunction, text::kPrintFunBlock, text::kPrintLabel, text::kPrintMode,
                           text::kPrintPreset,   text::kPrintUsed};
    p.save();
    p.setFont(fontOf(3 * mm, true));
    for (int c = 0; c < 6; ++c)
        p.drawText(QRectF(x[c], g.headingTop, x[c + 1] - x[c], 6 * mm), Qt::AlignLeft | Qt::AlignVCenter, heads[c]);
    p.drawLine(QPointF(0, g.bodyTop - 0.5 * mm), QPointF(w, g.bodyTop - 0.5 * mm));
    for (int i = first; i <= last; ++i) {
        const BlockLine& l = blocks_[i];
        const double y = g.bodyTop + (i - first) * g.rowHeight;
        const QString cells[] = {l.kind, l.block, l.label, l.mode, l.preset, l.used};
        p.setFont(fontOf(2.8 * mm, l.used == text::kYes));
        for (int c = 0; c < 6; ++c) {
            const QFontMetricsF m(p.font());
            p.drawText(QRectF(x[c], y, x[c + 1] - x[c] - mm, g.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       m.elidedText(cells[c], Qt::ElideRight, x[c + 1] - x[c] - mm));
        }
        p.setFont(fontOf(2.3 * mm));
        p.drawText(QRectF(x[6], y, x[7] - x[6], g.rowHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                   l.details);
        p.setPen(QPen(Qt::lightGray, std::max(1.0, 0.15 * mm)));
        p.drawLine(QPointF(0, y + g.rowHeight), QPointF(w, y + g.rowHeight));
        p.setPen(Qt::black);
    }
    p.restore();
}

}  // namespace pv::ui
