#include "editing/ui/CompareWindow.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "res/EditingTexts.h"
#include "res/UiTexts.h"

namespace pv::ui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kCodeWidth = 50;

}  // namespace

CompareChoiceDialog::CompareChoiceDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(res::kCompareChoiceCaption);
    setObjectName("compareChoice");
    auto* box = new QGroupBox(res::kCompareChoiceGroup, this);
    auto* inner = new QVBoxLayout(box);
    for (int m = 0; m < 3; ++m) {
        radios_[m] = new QRadioButton(res::kCompareModeTexts[m], box);
        inner->addWidget(radios_[m]);
    }
    radios_[2]->setChecked(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(res::kCompareOk, QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(res::kCompareCancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(buttons);
}

editing::CompareMode CompareChoiceDialog::mode() const {
    for (int m = 0; m < 3; ++m)
        if (radios_[m]->isChecked()) return static_cast<editing::CompareMode>(m);
    return editing::CompareMode::EditedRead;
}

void CompareChoiceDialog::setMode(editing::CompareMode mode) {
    radios_[static_cast<int>(mode)]->setChecked(true);
}

CompareWindow::CompareWindow(Prompts& prompts, std::function<void(CommandId)> runCommand,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), prompts_(prompts), runCommand_(std::move(runCommand)) {
    setWindowTitle(res::kCompareWindowCaption);
    setObjectName("compareWindow");
    list_ = new QTableWidget(this);
    list_->setColumnCount(4);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setShowGrid(true);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setSectionsClickable(false);
    list_->setWordWrap(false);
    // The name takes what the window leaves; code and values keep their widths (wider when a
    // value or the scale needs it).
    auto* header = list_->horizontalHeader();
    header->setMinimumSectionSize(kCodeWidth);
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(3, QHeaderView::ResizeToContents);

    auto* close = new QPushButton(res::kCompareClose, this);
    auto* save = new QPushButton(res::kCompareSave, this);
    auto* print = new QPushButton(res::kComparePrint, this);
    save->setObjectName("compareSave");
    auto* menu = new QMenu(print);
    menu->addAction(QString(ui_text::kCmdPrint).remove('&'), this,
                    [this] { runCommand_(CommandId::Print); });
    menu->addAction(QString(ui_text::kCmdPrintPreview).remove('&'), this,
                    [this] { runCommand_(CommandId::PrintPreview); });
    menu->addAction(QString(ui_text::kCmdExportPdf).remove('&'), this,
                    [this] { runCommand_(CommandId::ExportPdf); });
    print->setMenu(menu);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(save, &QPushButton::clicked, this,
            [this] { editing::SaveCompareText(prompts_, result_, mode_); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    buttons->addWidget(save);
    buttons->addWidget(print);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(760, 480);
}

void CompareWindow::show(editing::CompareResult result, editing::CompareMode mode) {
    result_ = std::move(result);
    mode_ = mode;
    fill();
    if (!isVisible() && parentWidget()) {
        const QRect main = parentWidget()->window()->geometry();
        move(main.center() - rect().center());
    }
    QWidget::show();
    raise();
    activateWindow();
}

void CompareWindow::fill() {
    const auto [first, second] = editing::CompareColumns(mode_);
    list_->setHorizontalHeaderLabels(
        {res::kCompareColumnCode, res::kCompareColumnName, first, second});
    list_->setRowCount(editing::DifferenceCount(result_));
    int row = 0;
    for (const auto& g : result_)
        for (const ParamRecord& r : g.records) {
            const auto [a, b] = editing::ComparedValues(r, mode_);
            const QString cells[4] = {q(editing::CompareCode(r)), q(editing::CompareName(r)), q(a),
                                      q(b)};
            for (int c = 0; c < 4; ++c) list_->setItem(row, c, new QTableWidgetItem(cells[c]));
            ++row;
        }
}

QString CompareWindow::printTitle() const {
    return res::kComparePrintTitle;
}

bool CompareWindow::print(QPrinter* printer) {
    QPainter p;
    if (!p.begin(printer)) return false;
    const QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
    const int line = p.fontMetrics().height() * 3 / 2;
    const int x0 = 0, w = page.width();
    const int cols[4] = {x0, x0 + w / 10, x0 + w * 7 / 10, x0 + w * 17 / 20};
    const auto [first, second] = editing::CompareColumns(mode_);
    int y = 0;
    auto heading = [&] {
        QFont bold = p.font();
        bold.setBold(true);
        p.setFont(bold);
        const QString texts[4] = {res::kCompareColumnCode, res::kCompareColumnName, first, second};
        y = line;
        for (int c = 0; c < 4; ++c) p.drawText(cols[c], y, texts[c]);
        p.drawLine(0, y + line / 3, w, y + line / 3);
        bold.setBold(false);
        p.setFont(bold);
        y += line;
    };
    heading();
    for (const auto& g : result_) {
        if (y + 2 * line > page.height()) {
            printer->newPage();
            heading();
        }
        p.drawText(cols[0], y, "[" + q(g.name) + "]");
        y += line;
        for (const ParamRecord& r : g.records) {
            if (y + line > page.height()) {
                printer->newPage();
                heading();
            }
            const auto [a, b] = editing::ComparedValues(r, mode_);
            p.drawText(cols[0], y, q(editing::CompareCode(r)));
            p.drawText(QRect(cols[1], y - line, cols[2] - cols[1] - 20, line * 3 / 2),
                       Qt::AlignLeft | Qt::AlignVCenter, q(editing::CompareName(r)));
            p.drawText(cols[2], y, q(a));
            p.drawText(cols[3], y, q(b));
            y += line;
        }
    }
    return p.end();
}

}  // namespace pv::ui
