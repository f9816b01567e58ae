#include "editing/ui/ExchangeFormatDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include "res/ExchangeTexts.h"

namespace pv::ui {

namespace {
const char* const kFormatKey = "exchange/format";
}

ExchangeFormatDialog::ExchangeFormatDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("exchangeFormatDialog");
    setWindowTitle(text::kFormatCaption);
    excel_ = new QRadioButton(text::kFormatExcel, this);
    csv_ = new QRadioButton(text::kFormatCsv, this);
    excel_->setObjectName("excelFormat");
    csv_->setObjectName("csvFormat");
    auto* note = new QLabel(text::kFormatWorkbookNote, this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(excel_);
    layout->addWidget(csv_);
    layout->addWidget(note);
    layout->addWidget(buttons);
    setFormat(static_cast<ExchangeFormat>(QSettings().value(kFormatKey, 0).toInt()));
    setMinimumWidth(fontMetrics().averageCharWidth() * 44);
}

ExchangeFormat ExchangeFormatDialog::format() const {
    return csv_->isChecked() ? ExchangeFormat::Csv : ExchangeFormat::Excel;
}

void ExchangeFormatDialog::setFormat(ExchangeFormat format) {
    (format == ExchangeFormat::Csv ? csv_ : excel_)->setChecked(true);
}

void ExchangeFormatDialog::remember() const {
    QSettings().setValue(kFormatKey, static_cast<int>(format()));
}

}  // namespace pv::ui
