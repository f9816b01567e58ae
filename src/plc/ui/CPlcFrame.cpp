#include "plc/ui/CPlcFrame.h"

#include <QActionGroup>
#include <QToolBar>
#include <QVBoxLayout>

#include "res/PlcTexts.h"

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
    {Tool::I, "I", "I", 0},           {Tool::Q, "Q", "Q", 0},
    {Tool::M, "M", "M", 0},           {Tool::T, "T", "T", 0},
    {Tool::C, "C", "C", 0},           {Tool::G, "G", "G", 0},
    {Tool::F, "F", "F", 0},           {Tool::Differential, "D", "D", 0},
    {Tool::AS, "AS", "S", 0},         {Tool::MD, "MD", "D", 0},
    {Tool::Wire, "\u2500", "A", 1},   {Tool::Link, "\u2502", "L", 1},
    {Tool::Delete, "Del", "Del", 2},   {Tool::InsertRow, "Ins", "Ins", 2},
    {Tool::Comment, "//", "W", 2},
};

QString tipOf(const ToolButton& b) {
    QString what;
    switch (b.tool) {
        case Tool::Wire: what = text::kToolWire; break;
        case Tool::Link: what = text::kToolLink; break;
        case Tool::Delete: what = text::kToolDelete; break;
        case Tool::InsertRow: what = text::kToolInsertRow; break;
        case Tool::Comment: what = text::kToolComment; break;
        case Tool::Differential: what = text::kToolDifferential; break;
        case Tool::AS:
        case Tool::MD: what = QString(text::kToolCoil).arg(b.label); break;
        default: what = QString(text::kToolContactCoil).arg(b.label); break;
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
        connect(a, &QAction::triggered, this, [this, a, t] {
            view_->selectTool(a->isChecked() ? t : Tool::None);
        });
    }
    toolbar_->addSeparator();
    connect(toolbar_->addAction(text::kCmdZoomOut), &QAction::triggered, this,
            [this] { view_->setZoom(view_->zoom() / 1.15); });
    connect(toolbar_->addAction(text::kCmdZoomReset), &QAction::triggered, this,
            [this] { view_->setZoom(1.0); });
    connect(toolbar_->addAction(text::kCmdZoomIn), &QAction::triggered, this,
            [this] { view_->setZoom(view_->zoom() * 1.15); });
    layout->addWidget(toolbar_);
    layout->addWidget(view_, 1);
    setWidget(body);
    setFocusProxy(view_);
    connect(view_, &CPlcView::stateChanged, this, &CPlcFrame::syncTools);
}

QAction* CPlcFrame::toolAction(Tool t) const {
    for (QAction* a : tools_->actions())
        if (a->data().toInt() == int(t)) return a;
    return nullptr;
}

void CPlcFrame::syncTools() {
    for (QAction* a : tools_->actions()) a->setChecked(a->data().toInt() == int(view_->clickTool()));
}

}  // namespace pv::ui
