#include "plc/ui/CPlcFrame.h"

#include <QActionGroup>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QSettings>
#include <QToolBar>
#include <QVBoxLayout>

#include "plc/ui/LadderPrintout.h"
#include "project/CM240Doc.h"
#include "res/PlcRunTexts.h"
#include "res/PlcTexts.h"
#include "res/UiTexts.h"

namespace pv::ui {

namespace {
struct ToolButton {
    Tool tool;
    const char* label;
    const char* key;
    int section;
};
// The ladder toolbar: elements, wires and links, line operations.
constexpr ToolButton kTools[] = {
    {Tool::I, "I", "I", 0},          {Tool::Q, "Q", "Q", 0},
    {Tool::M, "M", "M", 0},          {Tool::T, "T", "T", 0},
    {Tool::C, "C", "C", 0},          {Tool::G, "G", "G", 0},
    {Tool::F, "F", "F", 0},          {Tool::Differential, "D", "D", 0},
    {Tool::AS, "AS", "S", 0},        {Tool::MD, "MD", "D", 0},
    {Tool::Wire, "\u2500", "A", 1},  {Tool::Link, "\u2502", "L", 1},
    {Tool::Delete, "Del", "Del", 2}, {Tool::InsertRow, "Ins", "Ins", 2},
    {Tool::Comment, "//", "W", 2},
};

QString tipOf(const ToolButton& b) {
    QString what;
    switch (b.tool) {
        case Tool::Wire:
            what = text::kToolWire;
            break;
        case Tool::Link:
            what = text::kToolLink;
            break;
        case Tool::Delete:
            what = text::kToolDelete;
            break;
        case Tool::InsertRow:
            what = text::kToolInsertRow;
            break;
        case Tool::Comment:
            what = text::kToolComment;
            break;
        case Tool::Differential:
            what = text::kToolDifferential;
            break;
        case Tool::AS:
        case Tool::MD:
            what = QString(text::kToolCoil).arg(b.label);
            break;
        default:
            what = QString(text::kToolContactCoil).arg(b.label);
            break;
    }
    return QString(text::kToolTip).arg(what, b.key);
}
}  // namespace

CPlcFrame::CPlcFrame(Prompts& prompts, QWidget* parent) : CChildFrame(parent) {
    setObjectName("plcFrame");
    setWindowTitle(text::kLadderTitle);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolbar_ = new QToolBar(text::kLadderToolbar, body);
    toolbar_->setObjectName("ladderToolbar");
    view_ = new CPlcView(prompts, body);
    tools_ = new QActionGroup(this);
    tools_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    int section = 0;
    for (const auto& b : kTools) {
        if (b.section != section) toolbar_->addSeparator();
        section = b.section;
        QAction* a = toolbar_->addAction(b.label);
        a->setToolTip(tipOf(b));
        a->setData(int(b.tool));
        a->setCheckable(true);
        tools_->addAction(a);
        const Tool t = b.tool;
        connect(a, &QAction::triggered, this,
                [this, a, t] { view_->selectTool(a->isChecked() ? t : Tool::None); });
    }
    toolbar_->addSeparator();
    struct Zoom {
        const char* label;
        const char* tip;
        double factor;  // 0: back to the actual size
    };
    for (const Zoom& z : {Zoom{"\u2212", text::kCmdZoomOut, 1 / 1.15},
                          Zoom{"1:1", text::kCmdZoomReset, 0}, Zoom{"+", text::kCmdZoomIn, 1.15}}) {
        QAction* a = toolbar_->addAction(z.label);
        a->setToolTip(QString(z.tip).remove('&'));
        const double f = z.factor;
        connect(a, &QAction::triggered, this,
                [this, f] { view_->setZoom(f ? view_->zoom() * f : 1.0); });
    }
    toolbar_->addSeparator();
    legend_ = new QLabel(body);
    legend_->setObjectName("ladderLegend");
    legend_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    legend_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    legend_->setMargin(6);
    QSettings settings(ui_text::kSettingsOrganisation, ui_text::kSettingsApplication);
    legend_->setVisible(settings.value(text::kSettingsLegend, false).toBool());
    QAction* legendToggle = toolbar_->addAction(text::kCmdLegend);
    legendToggle->setToolTip(text::kTipLegend);
    legendToggle->setCheckable(true);
    legendToggle->setChecked(legend_->isVisibleTo(body));
    connect(legendToggle, &QAction::toggled, this, [this](bool on) {
        legend_->setVisible(on);
        QSettings(ui_text::kSettingsOrganisation, ui_text::kSettingsApplication)
            .setValue(text::kSettingsLegend, on);
        updateLegend();
    });
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(view_, 1);
    row->addWidget(legend_);
    layout->addWidget(toolbar_);
    layout->addLayout(row, 1);
    setWidget(body);
    setFocusProxy(view_);
    connect(view_, &CPlcView::stateChanged, this, &CPlcFrame::syncTools);
    connect(view_, &CPlcView::stateChanged, this, &CPlcFrame::updateLegend);
}

QString CPlcFrame::legendText(const PlcProgram& program) {
    QString out;
    for (const ElementUse& u : UsedElements(program)) {
        QString numbers, marks;
        for (int n = 1; n <= u.count; ++n) {
            numbers += QString::number(n, 16).toUpper();
            marks += (u.used & (1u << (n - 1))) ? '*' : ' ';
        }
        out += QString(u.kind).leftJustified(2) + ":" + numbers + "\n";
        out += QString(3, ' ') + marks + "\n";
    }
    return out + text::kLegendUsed;
}

void CPlcFrame::updateLegend() {
    if (legend_->isHidden() || !view_->editor()) return;
    legend_->setText(legendText(view_->editor()->program()));
}

QAction* CPlcFrame::toolAction(Tool t) const {
    for (QAction* a : tools_->actions())
        if (a->data().toInt() == int(t)) return a;
    return nullptr;
}

bool CPlcFrame::print(QPrinter* printer) {
    const CM240Doc* doc = view_->document();
    if (!doc || !view_->editor()) return false;
    printer->setDocName(printTitle());
    LadderPrintout printout(*view_, doc->titleBlock);
    return printout.print(*printer) > 0;
}

QString CPlcFrame::printTitle() const {
    const CM240Doc* doc = view_->document();
    const QString title = doc ? QString::fromStdString(PrintTitleBlock::get(doc->titleBlock.title)) : QString();
    return title.isEmpty() ? QString(text::kLadderPrintTitle)
                           : QString("%1 - %2").arg(text::kLadderPrintTitle, title);
}

void CPlcFrame::syncTools() {
    for (QAction* a : tools_->actions())
        a->setChecked(a->data().toInt() == int(view_->clickTool()));
}

}  // namespace pv::ui
