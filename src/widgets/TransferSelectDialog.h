#pragma once
// What to move in one Read or Write: check boxes for the PLC program, the drive parameters and
// the hidden parameters. A box is shown only for what the transfer can offer.

#include <QDialog>

#include "res/Prompts.h"

class QCheckBox;

namespace pv::ui {

class TransferSelectDialog : public QDialog {
    Q_OBJECT
public:
    TransferSelectDialog(const QString& caption, const pv::TransferOffer& offer,
                         QWidget* parent = nullptr);
    pv::TransferSelection selection() const;
    QCheckBox* plcBox() const { return plc_; }
    QCheckBox* parametersBox() const { return params_; }
    QCheckBox* hiddenBox() const { return hidden_; }
    QCheckBox* changedOnlyBox() const { return changedOnly_; }
    QCheckBox* verifyBox() const { return verify_; }
    void accept() override;

private:
    QCheckBox* plc_;
    QCheckBox* params_;
    QCheckBox* hidden_;
    QCheckBox* changedOnly_;
    QCheckBox* verify_;
};

}  // namespace pv::ui
