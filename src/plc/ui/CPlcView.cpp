#include "plc/ui/CPlcView.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <algorithm>
#include <cmath>

#include "plc/PlcSearch.h"
#include "plc/ProgramText.h"
#include "project/CM240Doc.h"
#include "res/PlcRunTexts.h"
#include "res/PlcTexts.h"
#include "res/UiTexts.h"

namespace pv::ui {

namespace {

// Logical geometry of a line (units; the zoom turns them into pixels).
constexpr int kNumberRight = 66;
constexpr int kRail = 80;
constexpr int kCell = 170;
constexpr int kGapHalf = 22;
constexpr int kCoilLeft = kRail + 3 * kCell;
constexpr int kCoilRight = kCoilLeft + 230;
constexpr int kWidth = kCoilRight + 20;
constexpr int kWireY = 40;  // the wire's height within a line; labels stand above it
constexpr double kBaseScale = 0.75;
constexpr double kMinZoom = 0.4, kMaxZoom = 3.0, kZoomStep = 1.15;

const QColor kWireColor(20, 20, 20);
const QColor kLinkColor(20, 20, 20);
const QColor kLabelColor(0, 0, 140);
const QColor kCommentColor(0, 110, 40);
const QColor kCommentBack(236, 248, 236);
const QColor kRangeBack(255, 246, 200);
const QColor kNumberColor(120, 120, 120);
const QColor kCursorColor(30, 100, 230);
// Live power: thick green wires, and a pale green between the plates of a closed contact.
const QColor kPowerColor(0, 160, 40);
const QColor kClosedBack(190, 240, 190);
const QColor kCoilOnBack(120, 220, 120);
constexpr int kWirePen = 2, kPowerPen = 5;

QPen wirePen(bool on) {
    QPen pen(on ? kPowerColor : kWireColor, on ? kPowerPen : kWirePen);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

bool blank(uint8_t c) {
    return c == ' ' || c == '\0';
}
bool linkUp(uint8_t g) {
    return g == kGapLinkUp || g == kGapLinkThrough;
}
bool linkDown(uint8_t g) {
    return g == kGapLinkDown || g == kGapLinkThrough;
}

QSettings profile() {
    return QSettings(ui_text::kSettingsOrganisation, ui_text::kSettingsApplication);
}

}  // namespace

CPlcView::CPlcView(Prompts& prompts, QWidget* parent)
    : QAbstractScrollArea(parent), prompts_(prompts), dialogs_(this) {
    setObjectName("plcView");
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(pal);
    header_ = new QLabel(this);
    header_->setObjectName("plcHeader");
    header_->setMargin(4);
    // The monitor's and simulator's figures wrap onto a second line in a narrow window.
    header_->setWordWrap(true);
    header_->setAutoFillBackground(true);
    const auto settings = profile();
    zoom_ = std::clamp(settings.value(text::kSettingsZoom, 1.0).toDouble(), kMinZoom, kMaxZoom);
    display_ =
        SymbolDisplay(std::clamp(settings.value(text::kSettingsSymbolDisplay, 0).toInt(), 0, 2));
    symbolsEnabled_ = settings.value(text::kSettingsSymbolEnabled, false).toBool();
}

CPlcView::~CPlcView() = default;

void CPlcView::setDocument(CM240Doc* doc) {
    doc_ = doc;
    std::vector<DisplayLine> clipboard =
        editor_ ? editor_->clipboard() : std::vector<DisplayLine>{};
    editor_ = doc ? std::make_unique<LadderEditor>(doc->plc, prompts_, dialogs_) : nullptr;
    if (editor_) editor_->setClipboard(std::move(clipboard));
    clickTool_ = Tool::None;
    updateScrollBars();
    header_->setText(headerText());
    viewport()->update();
    emit stateChanged();
}

double CPlcView::scale() const {
    return zoom_ * kBaseScale;
}

void CPlcView::setZoom(double z) {
    z = std::clamp(z, kMinZoom, kMaxZoom);
    if (z == zoom_) return;
    // Keep the cursor line where it is on the screen.
    zoom_ = z;
    profile().setValue(text::kSettingsZoom, zoom_);
    updateScrollBars();
    ensureCursorVisible();
    viewport()->update();
}

void CPlcView::setSymbolDisplay(SymbolDisplay d, bool enabled) {
    display_ = d;
    symbolsEnabled_ = enabled;
    auto settings = profile();
    settings.setValue(text::kSettingsSymbolDisplay, int(d));
    settings.setValue(text::kSettingsSymbolEnabled, enabled);
    viewport()->update();
}

void CPlcView::setMode(PlcMode m) {
    if (editor_) editor_->mode = m;
    header_->setText(headerText());
    layoutHeader();
}

void CPlcView::setHeaderExtra(const QString& extra) {
    if (extra == headerExtra_) return;
    headerExtra_ = extra;
    header_->setText(headerText());
    layoutHeader();
}

void CPlcView::layoutHeader() {
    int h = header_->heightForWidth(width());
    if (h <= 0) h = header_->sizeHint().height();
    if (header_->geometry() == QRect(0, 0, width(), h)) return;
    setViewportMargins(0, h, 0, 0);
    header_->setGeometry(0, 0, width(), h);
}

void CPlcView::setLive(const plc::PowerFlow& flow, const plc::ElementStates& states) {
    flow_ = flow;
    states_ = states;
    live_ = true;
    viewport()->update();
}

void CPlcView::clearLive() {
    live_ = false;
    viewport()->update();
}

QString CPlcView::headerText() const {
    if (!editor_) return {};
    const char* mode = editor_->mode == PlcMode::Program   ? text::kModeProgram
                       : editor_->mode == PlcMode::Monitor ? text::kModeMonitor
                                                           : text::kModeSimulate;
    QString t = QString("%1: %2      %3: %4      %5: %6")
                    .arg(text::kPcMode, mode, text::kCapacity,
                         QString(text::kCapacityRows).arg(kLadderRows), text::kFreeSpace)
                    .arg(editor_->freeRows());
    if (!headerExtra_.isEmpty() && editor_->mode != PlcMode::Program) t += "      " + headerExtra_;
    return t;
}

// ---------------------------------------------------------------------------------------------
// Geometry

void CPlcView::updateScrollBars() {
    const double s = scale();
    const int lines = editor_ ? editor_->lineCount() : 0;
    const int height = int(std::ceil((kTop + lines * kLineHeight + kTop) * s));
    const int width = int(std::ceil(kWidth * s));
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(std::max(1, int(kLineHeight * s)));
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(std::max(1, int(20 * s)));
}

void CPlcView::resizeEvent(QResizeEvent* event) {
    layoutHeader();
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CPlcView::scrollContentsBy(int, int) {
    viewport()->update();
}

bool CPlcView::viewportEvent(QEvent* event) {
    return QAbstractScrollArea::viewportEvent(event);
}

int CPlcView::lineAt(QPoint p) const {
    if (!editor_) return -1;
    const double y = (p.y() + verticalScrollBar()->value()) / scale();
    if (y <= kTop) return -1;
    const int line = int((y - kTop) / kLineHeight);
    return line < editor_->lineCount() ? line : -1;
}

int CPlcView::positionAt(QPoint p) const {
    const double x = (p.x() + horizontalScrollBar()->value()) / scale();
    for (int g = 0; g < kContactCells; ++g)
        if (std::abs(x - (kRail + (g + 1) * kCell)) <= kGapHalf) return 2 * g + 1;
    if (x >= kCoilLeft) return kCoilPosition;
    const int cell = std::clamp(int((x - kRail) / kCell), 0, kContactCells - 1);
    return 2 * cell;
}

QRect CPlcView::positionRect(int line, int position) const {
    const int top = kTop + line * kLineHeight;
    // A comment line is one piece: the cursor covers all of it.
    if (editor_ && editor_->isCommentLine(line))
        return QRect(kRail, top, kCoilRight - kRail, kLineHeight);
    if (position == kCoilPosition)
        return QRect(kCoilLeft + kGapHalf, top, kCoilRight - kCoilLeft - kGapHalf, kLineHeight);
    if (position % 2 == 1) {
        const int gx = kRail + (position / 2 + 1) * kCell;
        return QRect(gx - kGapHalf, top, 2 * kGapHalf, kLineHeight);
    }
    const int c = position / 2;
    const int x0 = kRail + c * kCell + (c ? kGapHalf : 0);
    return QRect(x0, top, kRail + (c + 1) * kCell - kGapHalf - x0, kLineHeight);
}

void CPlcView::ensureCursorVisible() {
    // Before the window is laid out its height says nothing about what will be in sight.
    if (!editor_ || !viewport()->isVisible()) return;
    const double s = scale();
    const int top = int((kTop + editor_->line() * kLineHeight) * s);
    const int bottom = int((kTop + (editor_->line() + 1) * kLineHeight) * s);
    auto* v = verticalScrollBar();
    if (top < v->value())
        v->setValue(top - int(kTop * s));
    else if (bottom > v->value() + viewport()->height())
        v->setValue(bottom - viewport()->height());
    const QRect r = positionRect(editor_->line(), editor_->position());
    auto* h = horizontalScrollBar();
    const int left = int(r.left() * s), right = int(r.right() * s);
    if (left < h->value())
        h->setValue(left);
    else if (right > h->value() + viewport()->width())
        h->setValue(right - viewport()->width());
}

// ---------------------------------------------------------------------------------------------
// Painting

void CPlcView::paintEvent(QPaintEvent* event) {
    if (!editor_) return;
    QPainter p(viewport());
    const double s = scale();
    const QRect area = event->rect();
    const double y0 = (area.top() + verticalScrollBar()->value()) / s;
    const double y1 = (area.bottom() + 1 + verticalScrollBar()->value()) / s;
    const int first = std::max(0, int((y0 - kTop) / kLineHeight));
    const int last = std::min(editor_->lineCount() - 1, int((y1 - kTop) / kLineHeight));
    p.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    p.scale(s, s);
    paintLines(p, first, last);
}

int CPlcView::lineWidth() {
    return kWidth;
}

void CPlcView::printLines(QPainter& p, int first, int last) {
    const bool wasLive = live_;
    printing_ = true;
    live_ = false;
    paintLines(p, first, last);
    printing_ = false;
    live_ = wasLive;
}

int CPlcView::lastUsedLine() const {
    if (!editor_) return -1;
    const PlcProgram& prog = editor_->program();
    int last = -1, row = 0;
    for (int d = 0; d < editor_->lineCount(); ++d) {
        if (prog.commentFlags[d] == 1) {
            last = d;
            continue;
        }
        if (row >= kLadderRows) break;
        const Row& r = prog.cellText[row++];
        if (std::any_of(r.begin(), r.end(), [](uint8_t c) { return !blank(c); })) last = d;
    }
    return last;
}

void CPlcView::paintLines(QPainter& p, int first, int last) {
    if (!editor_) return;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont font = p.font();
    font.setPixelSize(16);
    p.setFont(font);
    const PlcProgram& prog = editor_->program();
    // The first line's ladder row, then count on from it.
    int row = 0;
    for (int d = 0; d < first; ++d)
        if (prog.commentFlags[d] != 1) ++row;
    for (int d = first; d <= last; ++d) {
        const int top = kTop + d * kLineHeight;
        const bool comment = prog.commentFlags[d] == 1;
        if (editor_->inRange(d) && !printing_) p.fillRect(QRect(0, top, kWidth, kLineHeight), kRangeBack);
        else if (comment) p.fillRect(QRect(kRail, top, kCoilRight - kRail, kLineHeight), kCommentBack);
        p.setPen(kNumberColor);
        p.drawText(QRect(0, top, kNumberRight, kLineHeight), Qt::AlignRight | Qt::AlignVCenter,
                   QString("%1").arg(d, 3, 10, QChar('0')));
        if (comment) {
            QFont small = font;
            small.setPixelSize(13);
            p.setFont(small);
            p.setPen(kCommentColor);
            for (int t = 0; t < kCommentTextLines; ++t)
                p.drawText(QPoint(kRail + 12, top + 15 + t * 14),
                           QString::fromStdString(prog.commentText(d, t)));
            p.setFont(font);
        } else if (row < kLadderRows) {
            drawLadderLine(p, d, row, top);
            ++row;
        }
    }
    // The cursor.
    const int line = editor_->line();
    if (line >= first && line <= last && !printing_) {
        QPen pen(kCursorColor, 3);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(positionRect(line, editor_->position()).adjusted(2, 2, -2, -2));
    }
}

void CPlcView::drawLadderLine(QPainter& p, int, int row, int top) {
    const PlcProgram& prog = editor_->program();
    const Row& text = prog.cellText[row];
    const int wireY = top + kWireY;
    p.setPen(wirePen(false));
    // Power rails.
    p.drawLine(kRail, top, kRail, top + kLineHeight);
    p.drawLine(kCoilRight, top, kCoilRight, top + kLineHeight);
    for (int c = 0; c < kContactCells; ++c) {
        const int x0 = kRail + c * kCell + (c ? kGapHalf : 0);
        const int x1 = kRail + (c + 1) * kCell - kGapHalf;
        const bool fed = live_ && flow_.cellFed(row, c);
        const bool out = live_ && flow_.cellOn(row, c);
        drawContact(p, prog.cellTextAt(row, c), x0, x1, wireY, top, fed, out);
        // The gap after the cell: a wire through it, and vertical links. Its right half and the
        // links carry what the joined rows pass on.
        const uint8_t g = text[gapColumn(c)];
        const int gx = kRail + (c + 1) * kCell;
        const bool joined = live_ && (c + 1 < kContactCells ? flow_.cellFed(row, c + 1) : flow_.coilOn(row));
        const bool leftFilled = prog.cellTextAt(row, c) != "   ";
        const bool rightFilled = c + 1 < kContactCells ? prog.cellTextAt(row, c + 1) != "   "
                                                       : !blank(text[kCoilLetterColumn]);
        if (g == kGapWire) {
            p.setPen(wirePen(out));
            p.drawLine(gx - kGapHalf, wireY, gx, wireY);
            p.setPen(wirePen(joined));
            p.drawLine(gx, wireY, gx + kGapHalf, wireY);
        } else if (linkUp(g) || linkDown(g)) {
            p.setPen(wirePen(out));
            if (leftFilled) p.drawLine(gx - kGapHalf, wireY, gx, wireY);
            p.setPen(wirePen(joined));
            if (rightFilled) p.drawLine(gx, wireY, gx + kGapHalf, wireY);
            if (linkUp(g)) p.drawLine(gx, top, gx, wireY);
            if (linkDown(g)) p.drawLine(gx, wireY, gx, top + kLineHeight);
        }
    }
    drawCoil(p, row, kCoilLeft + kGapHalf, kCoilRight, wireY, top, live_ && flow_.coilOn(row));
}

QString CPlcView::elementLabel(const std::string& kind, int number) const {
    const QString name = QString::fromStdString(ElementName(kind, number));
    if (!symbolsEnabled_ || display_ == SymbolDisplay::Element) return name;
    const QString sym = QString::fromStdString(SymbolOf(editor_->program(), kind, number));
    if (sym.isEmpty()) return name;
    return display_ == SymbolDisplay::Symbol ? sym : name + " " + sym;
}

void CPlcView::drawContact(QPainter& p, const std::string& cell, int x0, int x1, int wireY,
                           int top, bool fed, bool on) {
    if (cell == "   ") return;
    if (cell == "---") {
        p.setPen(wirePen(on));
        p.drawLine(x0, wireY, x1, wireY);
        return;
    }
    const int mid = (x0 + x1) / 2;
    const int half = 12, tall = 15;
    const char letter = cell[0];
    bool numberOk = false;
    const int n = QString::fromStdString(cell.substr(1)).toInt(&numberOk, 16);
    // While live, a closed contact shows so even when no power reaches it.
    if (live_ && numberOk && letter != 'D' && letter != 'd' &&
        plc::ContactConducts(states_, letter, n))
        p.fillRect(QRect(mid - half, wireY - tall, 2 * half, 2 * tall), kClosedBack);
    p.setPen(wirePen(fed));
    p.drawLine(x0, wireY, mid - half, wireY);
    p.drawLine(mid - half, wireY - tall, mid - half, wireY + tall);
    p.setPen(wirePen(on));
    p.drawLine(mid + half, wireY, x1, wireY);
    p.drawLine(mid + half, wireY - tall, mid + half, wireY + tall);
    p.setPen(wirePen(false));
    const bool inverted = std::islower(static_cast<unsigned char>(letter));
    if (inverted) p.drawLine(mid - half - 4, wireY + tall, mid + half + 4, wireY - tall);
    if (letter == 'D' || letter == 'd') {
        // A differential contact: an arrow upwards between the plates.
        p.drawLine(mid, wireY + 10, mid, wireY - 10);
        p.drawLine(mid, wireY - 10, mid - 5, wireY - 4);
        p.drawLine(mid, wireY - 10, mid + 5, wireY - 4);
        return;
    }
    const QString label =
        numberOk ? elementLabel(std::string(1, char(std::toupper(static_cast<unsigned char>(letter)))), n)
           : QString::fromStdString(cell);
    p.setPen(kLabelColor);
    p.drawText(QRect(x0 - 10, top + 2, x1 - x0 + 20, 20), Qt::AlignHCenter | Qt::AlignVCenter,
               label);
}

void CPlcView::drawCoil(QPainter& p, int row, int x0, int x1, int wireY, int top, bool on) {
    const Row& text = editor_->program().cellText[row];
    const uint8_t kind = text[kCoilKindColumn], letter = text[kCoilLetterColumn];
    if (blank(letter) && blank(kind)) return;
    p.setPen(wirePen(on));
    const int mid = x0 + (x1 - x0) / 2;
    bool ok = false;
    const int number = QString(QChar(text[kCoilNumberColumn]))
                           .append(QChar(text[kCoilNumberColumn + 1]))
                           .toInt(&ok, 16);
    const bool block = (kind == 'A' && letter == 'S') || (kind == 'M' && letter == 'D');
    if (block) {
        const QString name = QString(QChar(kind)) + QChar(letter);
        p.drawLine(x0, wireY, mid - 50, wireY);
        p.drawLine(mid + 50, wireY, x1, wireY);
        if (on) p.fillRect(QRect(mid - 50, wireY - 16, 100, 32), kCoilOnBack);
        p.drawRect(QRect(mid - 50, wireY - 16, 100, 32));
        p.setPen(kLabelColor);
        p.drawText(QRect(mid - 50, wireY - 16, 100, 32), Qt::AlignCenter,
                   ok ? elementLabel(name.toStdString(), number) : name);
        return;
    }
    const int half = 16;
    if (on) {
        p.setBrush(kCoilOnBack);
        p.save();
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRect(mid - half + 2, wireY - 14, 2 * half - 4, 28));
        p.restore();
        p.setBrush(Qt::NoBrush);
    }
    p.drawLine(x0, wireY, mid - half, wireY);
    p.drawLine(mid + half, wireY, x1, wireY);
    p.drawArc(QRect(mid - half, wireY - 16, 14, 32), 90 * 16, 180 * 16);
    p.drawArc(QRect(mid + half - 14, wireY - 16, 14, 32), -90 * 16, 180 * 16);
    QString mark;
    if (kind == kCoilSet)
        mark = "S";
    else if (kind == kCoilReset)
        mark = "R";
    else if (kind == kCoilPulse)
        mark = "P";
    if (!mark.isEmpty()) {
        QFont f = p.font();
        f.setPixelSize(13);
        p.save();
        p.setFont(f);
        p.drawText(QRect(mid - half, wireY - 12, 2 * half, 24), Qt::AlignCenter, mark);
        p.restore();
    }
    p.setPen(kLabelColor);
    const QString label =
        ok ? elementLabel(std::string(1, char(letter)), number)
           : QString::fromLatin1(reinterpret_cast<const char*>(&text[kCoilLetterColumn]), 3);
    p.drawText(QRect(x0, top + 2, x1 - x0, 20), Qt::AlignHCenter | Qt::AlignVCenter, label);
}

// ---------------------------------------------------------------------------------------------
// Input

void CPlcView::changed(bool program) {
    if (!editor_) return;
    if (program) {
        if (doc_) doc_->modified = true;
        updateScrollBars();
        header_->setText(headerText());
        emit programChanged();
    }
    ensureCursorVisible();
    viewport()->update();
    emit stateChanged();
}

void CPlcView::runTool(Tool t) {
    if (editor_) changed(editor_->apply(t));
}

void CPlcView::selectTool(Tool t) {
    clickTool_ = t;
    if (editor_) editor_->setTool(t);
    setFocus();
    emit stateChanged();
}

void CPlcView::undo() {
    if (editor_) changed(editor_->undo());
}
void CPlcView::redo() {
    if (editor_) changed(editor_->redo());
}
void CPlcView::cut() {
    if (editor_) changed(editor_->cut());
}
void CPlcView::copy() {
    if (!editor_) return;
    editor_->copy();  // the program stays as it is; only the marks go
    changed(false);
}
void CPlcView::paste() {
    if (editor_) changed(editor_->paste());
}
void CPlcView::markStart() {
    if (editor_) editor_->markStart(), changed(false);
}
void CPlcView::markEnd() {
    if (editor_) editor_->markEnd(), changed(false);
}
void CPlcView::clearComments() {
    if (editor_) changed(editor_->clearComments());
}

void CPlcView::editSymbols() {
    if (!editor_) return;
    SymbolDialog d(editor_->program().symbols, display_, symbolsEnabled_, this);
    if (dialogs_.run(d) != QDialog::Accepted) return;
    setSymbolDisplay(d.display(), d.displayEnabled());
    const auto symbols = d.symbols();
    if (symbols != editor_->program().symbols && editor_->editable()) {
        editor_->program().symbols = symbols;
        editor_->commitExternalChange();
        changed(true);
    }
}

// ---------------------------------------------------------------------------------------------
// Find and Replace

void CPlcView::find() {
    if (!editor_) return;
    QDialog d(this);
    d.setObjectName("findDialog");
    d.setWindowTitle(text::kFindCaption);
    auto* form = new QFormLayout(&d);
    auto* name = new QLineEdit(findName_, &d);
    name->setObjectName("findName");
    form->addRow(text::kFindWhat, name);
    auto* dir = new QGroupBox(text::kDirection, &d);
    auto* dirLayout = new QHBoxLayout(dir);
    auto* up = new QRadioButton(text::kDirectionUp, dir);
    auto* down = new QRadioButton(text::kDirectionDown, dir);
    up->setObjectName("up");
    down->setObjectName("down");
    (findDown_ ? down : up)->setChecked(true);
    dirLayout->addWidget(up);
    dirLayout->addWidget(down);
    form->addRow(dir);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &d);
    buttons->addButton(text::kCmdFindNext, QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(buttons);
    if (dialogs_.run(d) != QDialog::Accepted) return;
    findName_ = name->text();
    findDown_ = down->isChecked();
    findNext();
}

bool CPlcView::findNext() {
    if (findName_.isEmpty()) {
        find();
        return false;
    }
    return findNext(findName_, findDown_);
}

bool CPlcView::findNext(const QString& name, bool down) {
    if (!editor_) return false;
    findName_ = name;
    findDown_ = down;
    const plc::CellPlace from{editor_->line(), editor_->position()};
    const auto at = plc::RunFindNext(editor_->program(), from, name.toStdString(), down, prompts_);
    if (!at) return false;
    editor_->setCursor(at->displayLine, at->position);
    changed(false);
    return true;
}

void CPlcView::replace() {
    if (!editor_ || !editor_->editable()) return;
    QDialog d(this);
    d.setObjectName("replaceDialog");
    d.setWindowTitle(text::kReplaceCaption);
    auto* form = new QFormLayout(&d);
    auto* what = new QLineEdit(findName_, &d);
    auto* with = new QLineEdit(replaceName_, &d);
    what->setObjectName("findName");
    with->setObjectName("replaceName");
    form->addRow(text::kFindWhat, what);
    form->addRow(text::kReplaceWith, with);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &d);
    buttons->addButton(text::kReplaceCaption, QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(buttons);
    if (dialogs_.run(d) != QDialog::Accepted) return;
    replaceAll(what->text(), with->text());
}

int CPlcView::replaceAll(const QString& findName, const QString& replaceName) {
    if (!editor_ || !editor_->editable()) return 0;
    findName_ = findName;
    replaceName_ = replaceName;
    const int n = plc::RunReplace(editor_->program(), findName.toStdString(),
                                  replaceName.toStdString(), prompts_);
    if (n > 0) {
        editor_->commitExternalChange();  // one undo step for the whole replacement
        changed(true);
    }
    return n;
}

bool CPlcView::importText(const std::string& text, std::string& error) {
    if (!editor_ || !editor_->editable()) return false;
    if (!ProgramFromText(text, editor_->program(), error)) return false;
    editor_->commitExternalChange();
    changed(true);
    return true;
}

void CPlcView::keyPressEvent(QKeyEvent* event) {
    if (!editor_) return QAbstractScrollArea::keyPressEvent(event);
    LadderEditor& e = *editor_;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int page = std::max(1, int(viewport()->height() / (kLineHeight * scale())));
    bool program = false;
    switch (event->key()) {
        case Qt::Key_Left:
            e.moveLeft();
            break;
        case Qt::Key_Right:
            e.moveRight();
            break;
        case Qt::Key_Up:
            e.moveUp();
            break;
        case Qt::Key_Down:
            e.moveDown();
            break;
        case Qt::Key_PageUp:
            e.movePage(-page);
            break;
        case Qt::Key_PageDown:
            e.movePage(page);
            break;
        case Qt::Key_Home:
            ctrl ? e.moveFirstUsed() : e.moveHome();
            break;
        case Qt::Key_End:
            ctrl ? e.moveLastUsed() : e.moveEnd();
            break;
        case Qt::Key_Escape:
            clickTool_ = Tool::None;
            e.setTool(Tool::None);
            break;
        case Qt::Key_Space:
            program = e.openAtCursor();
            break;
        case Qt::Key_Delete:
            program = e.apply(Tool::Delete);
            break;
        case Qt::Key_Insert:
            program = e.apply(Tool::InsertRow);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            program = e.apply(Tool::InsertRowBelow);
            break;
        case Qt::Key_0:
            if (ctrl) {
                setZoom(1.0);
                return;
            }
            [[fallthrough]];
        default: {
            if (ctrl) {
                switch (event->key()) {
                    case Qt::Key_Z:
                        return undo();
                    case Qt::Key_Y:
                        return redo();
                    case Qt::Key_X:
                        return cut();
                    case Qt::Key_C:
                        return copy();
                    case Qt::Key_V:
                        return paste();
                    case Qt::Key_Plus:
                    case Qt::Key_Equal:
                        return setZoom(zoom_ * kZoomStep);
                    case Qt::Key_Minus:
                        return setZoom(zoom_ / kZoomStep);
                    default:
                        return QAbstractScrollArea::keyPressEvent(event);
                }
            }
            const QString t = event->text();
            if (t.size() != 1 || !t[0].isLetter()) return QAbstractScrollArea::keyPressEvent(event);
            program = e.pressToolKey(t[0].toLatin1());
        }
    }
    changed(program);
}

void CPlcView::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const int line = lineAt(event->pos());
    if (!editor_ || line < 0) return;
    editor_->setCursor(line, positionAt(event->pos()));
    if (event->button() == Qt::LeftButton && clickTool_ != Tool::None) {
        changed(editor_->apply(clickTool_));
        return;
    }
    changed(false);
}

void CPlcView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int line = lineAt(event->pos());
    if (!editor_ || line < 0 || event->button() != Qt::LeftButton) return;
    const int pos = positionAt(event->pos());
    editor_->setCursor(line, pos);
    // A double click opens the element of a cell or a comment line; gaps have none.
    if (pos % 2 == 1 && !editor_->isCommentLine(line)) return changed(false);
    changed(editor_->openAtCursor());
}

void CPlcView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) setZoom(zoom_ * std::pow(kZoomStep, steps));
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void CPlcView::contextMenuEvent(QContextMenuEvent* event) {
    if (!editor_) return;
    QMenu menu(this);
    const bool edit = editor_->editable();
    auto add = [&](const char* text, auto fn, bool enabled = true) {
        QAction* a = menu.addAction(text);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, fn);
    };
    add(text::kCmdStart, [this] { markStart(); });
    add(text::kCmdEnd, [this] { markEnd(); });
    menu.addSeparator();
    add(
        text::kCmdCut, [this] { cut(); }, edit);
    add(text::kCmdCopy, [this] { copy(); });
    add(
        text::kCmdPaste, [this] { paste(); }, edit && !editor_->clipboard().empty());
    add(
        text::kCmdDelete, [this] { runTool(Tool::Delete); }, edit);
    menu.addSeparator();
    add(
        text::kCmdInsertRow, [this] { runTool(Tool::InsertRow); }, edit);
    add(
        text::kCmdInsertComment, [this] { runTool(Tool::Comment); }, edit);
    menu.addSeparator();
    add(
        text::kCmdUndo, [this] { undo(); }, edit && editor_->canUndo());
    add(
        text::kCmdRedo, [this] { redo(); }, edit && editor_->canRedo());
    menu.addSeparator();
    add(text::kCmdSymbol, [this] { editSymbols(); });
    menu.exec(event->globalPos());
}

}  // namespace pv::ui
