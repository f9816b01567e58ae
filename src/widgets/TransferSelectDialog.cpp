#include "widgets/TransferSelectDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QSettings>
#include <QVBoxLayout>

#include "res/EditingTexts.h"
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
    // A Write may send only what differs from the drive and read back what it sent; the choice
    // is remembered for the next Write.
    changedOnly_ = new QCheckBox(res::kTransferChangedOnly, this);
    verify_ = new QCheckBox(res::kTransferVerify, this);
    changedOnly_->setObjectName("changedOnly");
    verify_->setObjectName("verify");
    changedOnly_->setVisible(offer.writeChecks);
    verify_->setVisible(offer.writeChecks);
    const QSettings settings;
    changedOnly_->setChecked(settings.value("write/changedOnly", false).toBool());
    verify_->setChecked(settings.value("write/verify", false).toBool());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(plc_);
    lay->addWidget(params_);
    lay->addWidget(hidden_);
    lay->addWidget(changedOnly_);
    lay->addWidget(verify_);
    lay->addWidget(buttons);
}

pv::TransferSelection TransferSelectDialog::selection() const {
    pv::TransferSelection s;
    s.plcProgram = !plc_->isHidden() && plc_->isChecked();
    s.parameters = !params_->isHidden() && params_->isChecked();
    s.hiddenParameters = !hidden_->isHidden() && hidden_->isChecked();
    s.changedOnly = !changedOnly_->isHidden() && changedOnly_->isChecked();
    s.verify = !verify_->isHidden() && verify_->isChecked();
    return s;
}

void TransferSelectDialog::accept() {
    if (!changedOnly_->isHidden()) {
        QSettings settings;
        settings.setValue("write/changedOnly", changedOnly_->isChecked());
        settings.setValue("write/verify", verify_->isChecked());
    }
    QDialog::accept();
}

}  // namespace pv::ui
