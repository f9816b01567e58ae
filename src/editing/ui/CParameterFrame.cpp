#include "editing/ui/CParameterFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QVBoxLayout>

#include "res/UiTexts.h"

namespace pv::ui {

CParameterFrame::CParameterFrame(QWidget* parent) : CChildFrame(parent) {
    setObjectName("parameterFrame");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 0);
    filterBox_ = new QLineEdit(body);
    filterBox_->setObjectName("parameterFilter");
    filterBox_->setPlaceholderText(ui_text::kFilterPlaceholder);
    filterBox_->setClearButtonEnabled(true);
    filterBox_->setToolTip(ui_text::kFilterTip);
    filterBox_->installEventFilter(this);
    readDiffers_ = new QCheckBox(ui_text::kFilterReadDiffers, body);
    readDiffers_->setObjectName("filterReadDiffers");
    changed_ = new QCheckBox(ui_text::kFilterChanged, body);
    changed_->setObjectName("filterChanged");
    count_ = new QLabel(body);
    count_->setObjectName("filterCount");
    bar->addWidget(filterBox_, 1);
    bar->addWidget(readDiffers_);
    bar->addWidget(changed_);
    bar->addWidget(count_);
    layout->addLayout(bar);
    view_ = new CParameterView(body);
    layout->addWidget(view_, 1);
    setWidget(body);

    connect(filterBox_, &QLineEdit::textChanged, this, [this] { filterChanged(); });
    connect(filterBox_, &QLineEdit::returnPressed, this, [this] {
        // Enter goes to the first parameter left, so the arrows and a double-click follow.
        if (view_->goTo(filterBox_->text()) || view_->shownParameters() > 0) view_->setFocus();
    });
    connect(readDiffers_, &QCheckBox::toggled, this, [this] { filterChanged(); });
    connect(changed_, &QCheckBox::toggled, this, [this] { filterChanged(); });
    connect(view_, &CParameterView::shownChanged, this, [this](int shown, int total) {
        count_->setText(view_->filter().active()
                            ? QString(ui_text::kFilterCount).arg(shown).arg(total)
                            : QString());
    });
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QAction::triggered, this, [this] {
        filterBox_->setFocus();
        filterBox_->selectAll();
    });
    addAction(find);
    setWindowTitle(ui_text::kParameterWindowTitle);
    setWindowIcon(QIcon(":/parvolt/parvolt.png"));
}

void CParameterFrame::filterChanged() {
    ParamListFilter f;
    f.text = filterBox_->text().toStdString();
    f.readDiffers = readDiffers_->isChecked();
    f.changedFromDefault = changed_->isChecked();
    view_->setFilter(f);
}

bool CParameterFrame::eventFilter(QObject* watched, QEvent* event) {
    // Esc in the filter box gives the whole list back and returns to it.
    if (watched == filterBox_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        filterBox_->clear();
        view_->setFocus();
        return true;
    }
    return CChildFrame::eventFilter(watched, event);
}

bool CParameterFrame::print(QPrinter* printer) {
    const CM240Doc* doc = view_->document();
    if (!doc) return false;
    printer->setDocName(printTitle());  // the PDF's title
    // The link thread may be writing read values into the table meanwhile.
    auto lock = view_->lockTable();
    ParamPrintout printout(doc->table, view_->selectedGroup(),
                           !view_->isColumnHidden(CParameterView::ColRead),
                           printHeader_ ? printHeader_() : ParamPrintHeader{});
    return printout.pageCount() == 0 || printout.print(*printer) > 0;
}

QString CParameterFrame::printTitle() const {
    const QString project = printHeader_ ? printHeader_().project : QString();
    return project.isEmpty() ? QString(ui_text::kPrintTitle)
                             : QString("%1 - %2").arg(ui_text::kPrintTitle, project);
}

}  // namespace pv::ui
