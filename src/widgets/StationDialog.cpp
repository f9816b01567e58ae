#include "widgets/StationDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "res/UiTexts.h"

namespace pv::ui {

StationDialog::StationDialog(pv::StationDialog kind, const std::vector<int>& stations,
                             QWidget* parent)
    : QDialog(parent), stations_(stations) {
    const bool read = kind == pv::StationDialog::Read;
    setObjectName(read ? "stationReadDialog" : "stationSelectDialog");
    setWindowTitle(read ? ui_text::kStationReadCaption : ui_text::kStationSelectCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    combo_ = new QComboBox(this);
    for (int s : stations_) combo_->addItem(QString::number(s));
    auto* form = new QFormLayout;
    form->addRow(read ? ui_text::kStationReadLabel : ui_text::kStationSelectLabel, combo_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!stations_.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(buttons);
}

int StationDialog::station() const {
    const int i = combo_->currentIndex();
    return i >= 0 && i < static_cast<int>(stations_.size()) ? stations_[i] : -1;
}

}  // namespace pv::ui
