#include "editing/ui/ParameterGroupDialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTabBar>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <mutex>

#include "res/EditingTexts.h"
#include "res/Prompts.h"

namespace pv::ui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// The option list items read "value:text"; the list shows them as they are written.
QStringList optionItems(const editing::ParamRow& row) {
    QStringList items;
    for (const std::string& o : row.options) items << q(o);
    return items;
}

editing::PageModel makeModel(PageHost& host, int group, bool user) {
    const ParamTable& table = host.pageDocument()->table;
    std::lock_guard lock(host.pageDocument()->tableMutex());
    if (user) return editing::PageModel(table, 0, editing::UserParameterPages(), host.pageSettings());
    return editing::PageModel(table, group, host.pageSettings());
}

}  // namespace

ParameterGroupDialog::ParameterGroupDialog(PageHost& host, int group, int position,
                                           QWidget* parent, bool userPages)
    : QDialog(parent), host_(host), user_(userPages),
      model_(makeModel(host, group, userPages)) {
    setWindowTitle(res::kGroupDialogTitle);
    setObjectName("parameterGroupDialog");
    int firstPage = 0;
    {
        std::lock_guard lock(host.pageDocument()->tableMutex());
        if (const auto at = user_ ? std::nullopt
                                  : editing::PageForPosition(host.pageDocument()->table, group,
                                                             position)) {
            firstPage = at->page;
            redPage_ = at->redRow >= 0 ? at->page : -1;
            redRow_ = at->redRow;
        }
    }

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("pageTabs");
    const std::string groupName = host.pageDocument()->table.groups[group].name;
    // A page's rows are made when it is first shown: a group opens with one page built.
    rows_.resize(model_.pageCount());
    for (int p = 0; p < model_.pageCount(); ++p) {
        auto* holder = new QWidget;
        auto* holderLayout = new QVBoxLayout(holder);
        holderLayout->setContentsMargins(0, 0, 0, 0);
        tabs_->addTab(holder, user_ ? q(model_.pageDef(p).range)
                                    : q(editing::TabLabel(group, p, groupName)));
    }
    ensurePage(firstPage);
    tabs_->setCurrentIndex(firstPage);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int p) { ensurePage(p); });
    // Wide enough for every tab of the group, as far as the screen allows.
    const int tabsWidth = tabs_->tabBar()->sizeHint().width() + 40;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    setMinimumWidth(std::min(tabsWidth, screen.width() * 9 / 10));

    transmit_ = new QPushButton(res::kTransmitGroup, this);
    transmit_->setObjectName("transmitGroup");
    transmit_->setAutoDefault(false);
    transmit_->setEnabled(host.pageConnected());
    connect(transmit_, &QPushButton::clicked, this, &ParameterGroupDialog::onTransmit);
    keyboardBox_ = new QCheckBox(res::kSmallKeyboard, this);
    keyboardBox_->setObjectName("smallKeyboard");
    keyboard_ = buildKeyboard();
    keyboard_->setVisible(false);
    connect(keyboardBox_, &QCheckBox::toggled, keyboard_, &QWidget::setVisible);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (auto* b : buttons->buttons()) static_cast<QPushButton*>(b)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &ParameterGroupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ParameterGroupDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(keyboardBox_);
    bottom->addWidget(transmit_);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addWidget(keyboard_, 0, Qt::AlignLeft);
    layout->addLayout(bottom);

    // The typed edit the small keyboard types into.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (auto* e = qobject_cast<QLineEdit*>(now); e && isAncestorOf(e)) lastEdit_ = e;
    });
    // Frequency rows follow the drive's resolution while the dialog is open.
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &ParameterGroupDialog::onTimer);
    timer_.start();
}

void ParameterGroupDialog::ensurePage(int page) {
    if (page >= 0 && page < static_cast<int>(rows_.size()) && rows_[page].empty() &&
        model_.rowCount(page) > 0)
        buildPage(page);
}

void ParameterGroupDialog::buildPage(int page) {
    QWidget* holder = tabs_->widget(page);
    auto* w = new QWidget(holder);
    holder->layout()->addWidget(w);
    auto* grid = new QGridLayout(w);
    grid->setColumnStretch(0, 1);
    grid->setVerticalSpacing(4);
    std::vector<RowWidgets> rows(model_.rowCount(page));
    const QIcon writeIcon = style()->standardIcon(QStyle::SP_ArrowRight);
    for (int r = 0; r < model_.rowCount(page); ++r) {
        const editing::PageRow& pr = model_.row(page, r);
        if (!pr.row.defined) continue;
        RowWidgets& rw = rows[r];
        rw.name = new QLabel(q(pr.label), w);
        if (page == redPage_ && r == redRow_) rw.name->setStyleSheet("color: rgb(255, 0, 0);");
        rw.write = new QPushButton(writeIcon, QString(), w);
        rw.write->setAutoDefault(false);
        rw.write->setToolTip(res::kWriteRowTip);
        rw.write->setObjectName(QString("write%1").arg(r));
        connect(rw.write, &QPushButton::clicked, this, [this, page, r] { onWrite(page, r); });
        grid->addWidget(rw.name, r, 0);
        grid->addWidget(rw.write, r, 1);
        if (pr.isOption()) {
            rw.combo = new QComboBox(w);
            rw.combo->addItems(optionItems(pr.row));
            rw.combo->setCurrentIndex(model_.optionIndex(page, r));
            rw.combo->setMinimumContentsLength(26);
            rw.combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            connect(rw.combo, &QComboBox::currentIndexChanged, this,
                    [this, page, r](int item) { model_.setOptionIndex(page, r, item); });
            grid->addWidget(rw.combo, r, 2, 1, 2);
        } else {
            rw.edit = new QLineEdit(q(pr.valueText), w);
            rw.edit->setMaximumWidth(fontMetrics().horizontalAdvance("0000000000000"));
            rw.edit->setReadOnly(pr.readOnly);
            connect(rw.edit, &QLineEdit::textEdited, this,
                    [this, page, r](const QString& t) { onEdited(page, r, t); });
            QString range = q(model_.rangeLabel(page, r));
            if (user_) range += QString(" ") + res::kUserParamNote;
            rw.range = new QLabel(range, w);
            grid->addWidget(rw.edit, r, 2);
            grid->addWidget(rw.range, r, 3);
        }
    }
    grid->setRowStretch(editing::kRowsPerPage, 1);
    rows_[page] = std::move(rows);
}

QWidget* ParameterGroupDialog::buildKeyboard() {
    auto* pad = new QWidget(this);
    pad->setObjectName("keyboardPad");
    auto* grid = new QGridLayout(pad);
    const char* keys[] = {"7", "8", "9", "4", "5", "6", "1", "2", "3", ".", "0"};
    for (int k = 0; k < 11; ++k) {
        auto* b = new QPushButton(keys[k], pad);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance("000") + 16);
        connect(b, &QPushButton::clicked, this, [this, key = QString(keys[k])] { typeKey(key); });
        grid->addWidget(b, k / 3, k % 3);
    }
    return pad;
}

void ParameterGroupDialog::typeKey(const QString& key) {
    if (!lastEdit_ || lastEdit_->isReadOnly()) return;
    for (int p = 0; p < static_cast<int>(rows_.size()); ++p)
        for (int r = 0; r < static_cast<int>(rows_[p].size()); ++r)
            if (rows_[p][r].edit == lastEdit_) {
                QString text = lastEdit_->text();
                const int at = lastEdit_->hasSelectedText() ? lastEdit_->selectionStart()
                                                             : lastEdit_->cursorPosition();
                if (lastEdit_->hasSelectedText()) text.remove(at, lastEdit_->selectedText().size());
                text.insert(at, key);
                onEdited(p, r, text);
                return;
            }
}

ParameterGroupDialog::RowWidgets& ParameterGroupDialog::widgets(int page, int row) {
    ensurePage(page);
    return rows_[page][row];
}
QLineEdit* ParameterGroupDialog::edit(int page, int row) {
    return widgets(page, row).edit;
}
QComboBox* ParameterGroupDialog::combo(int page, int row) {
    return widgets(page, row).combo;
}
QPushButton* ParameterGroupDialog::writeButton(int page, int row) {
    return widgets(page, row).write;
}
QLabel* ParameterGroupDialog::nameLabel(int page, int row) {
    return widgets(page, row).name;
}
QLabel* ParameterGroupDialog::rangeLabel(int page, int row) {
    return widgets(page, row).range;
}

void ParameterGroupDialog::onEdited(int page, int row, const QString& typed) {
    editing::PageRow& pr = model_.row(page, row);
    const std::string kept = model_.filterEdit(page, row, pr.valueText, typed.toStdString());
    pr.valueText = kept;
    QLineEdit* e = rows_[page][row].edit;
    if (e->text() != q(kept)) {
        const int cursor = std::min<int>(e->cursorPosition(), static_cast<int>(kept.size()));
        e->setText(q(kept));
        e->setCursorPosition(cursor);
    }
}

void ParameterGroupDialog::showBadRow(editing::PageLocation at) {
    tabs_->setCurrentIndex(at.page);
    if (QLineEdit* e = widgets(at.page, at.row).edit) {
        e->setFocus();
        e->selectAll();
    }
}

void ParameterGroupDialog::onWrite(int page, int row) {
    comm::PageWriteResult result = comm::PageWriteResult::Cancelled;
    writing_ = true;
    host_.runPageWrite(
        [&](comm::PageWriteContext& ctx) { result = comm::RunSingleWrite(ctx, model_, page, row); },
        this);
    writing_ = false;
    if (result == comm::PageWriteResult::OutOfRange) showBadRow({page, row});
    if (result == comm::PageWriteResult::Written) host_.pagesChanged();
}

void ParameterGroupDialog::onTransmit() {
    comm::TransmitOutcome out;
    writing_ = true;
    host_.runPageWrite(
        [&](comm::PageWriteContext& ctx) { out = comm::RunTransmitGroup(ctx, model_, user_); }, this);
    writing_ = false;
    if (out.badRow) showBadRow(*out.badRow);
}

void ParameterGroupDialog::onTimer() {
    // The model belongs to the link thread while a write runs there.
    if (writing_) return;
    transmit_->setEnabled(host_.pageConnected());
    for (const editing::PageLocation& at : model_.applySettings(host_.pageSettings())) {
        if (rows_[at.page].empty()) continue;  // built later from the model
        RowWidgets& rw = rows_[at.page][at.row];
        if (rw.range && !user_) rw.range->setText(q(model_.rangeLabel(at.page, at.row)));
        if (rw.edit && rw.edit->text() != q(model_.row(at.page, at.row).valueText))
            rw.edit->setText(q(model_.row(at.page, at.row).valueText));
    }
}

void ParameterGroupDialog::accept() {
    if (const auto bad = model_.validate()) {
        showBadRow(*bad);
        host_.pagePrompts().message(res::kBeyondRangeDialog);
        return;
    }
    CM240Doc* doc = host_.pageDocument();
    {
        std::lock_guard lock(doc->tableMutex());
        model_.store(doc->table);
    }
    QDialog::accept();
}

void ParameterGroupDialog::keyPressEvent(QKeyEvent* event) {
    // Enter neither closes a page nor the dialog: it is the end of typing a value.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ParameterGroupDialog::Open(PageHost& host, int group, int position, QWidget* parent) {
    if (!host.pageDocument() || !editing::PagesOfGroup(group)) return false;
    ParameterGroupDialog dialog(host, group, position, parent);
    const bool ok = dialog.exec() == QDialog::Accepted;
    host.pagesChanged();
    return ok;
}

bool ParameterGroupDialog::OpenUserParameters(PageHost& host, QWidget* parent) {
    if (!host.pageDocument()) return false;
    ParameterGroupDialog dialog(host, 0, -1, parent, true);
    const bool ok = dialog.exec() == QDialog::Accepted;
    host.pagesChanged();
    return ok;
}

}  // namespace pv::ui
