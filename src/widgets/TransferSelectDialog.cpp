#include "widgets/TransferSelectDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "res/UiTexts.h"

namespace pv::ui {

TransferSelectDialog::TransferSelectDialog(const QString& caption, const pv::TransferOffer& offer,
                                           QWidget* parent)
    : QDialog(parent) {
    setObjectName("transferSelectDialog");
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    plc_ = new QCheckBox(ui_text::kTransferPlc, this);
    params_ = new QCheckBox(ui_text::kTransferParameters, this);
    hidden_ = new QCheckBox(ui_text::kTransferHidden, this);
    plc_->setVisible(offer.plcProgram);
    params_->setVisible(offer.parameters);
    hidden_->setVisible(offer.hiddenParameters);
    params_->setChecked(offer.parameters);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(plc_);
    lay->addWidget(params_);
    lay->addWidget(hidden_);
    lay->addWidget(buttons);
}

pv::TransferSelection TransferSelectDialog::selection() const {
    pv::TransferSelection s;
    s.plcProgram = !plc_->isHidden() && plc_->isChecked();
    s.parameters = !params_->isHidden() && params_->isChecked();
    s.hiddenParameters = !hidden_->isHidden() && hidden_->isChecked();
    return s;
}

}  // namespace pv::ui
