#include "widgets/CopyModuleDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "res/CopyModuleTexts.h"

namespace pv::ui {

namespace {

QComboBox* portCombo(QWidget* parent, const std::vector<std::string>& ports,
                     const std::string& current) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& p : ports) box->addItem(QString::fromStdString(p));
    const QString cur = QString::fromStdString(current);
    if (!cur.isEmpty() && box->findText(cur) < 0) box->addItem(cur);
    if (!cur.isEmpty()) box->setCurrentText(cur);
    box->setMinimumContentsLength(16);
    return box;
}

}  // namespace

CopyModuleDialog::CopyModuleDialog(pv::CopyModuleDialog kind, const std::vector<std::string>& ports,
                                   const CopyModuleChoice& initial, QWidget* parent)
    : QDialog(parent) {
    const bool write = kind == pv::CopyModuleDialog::Write;
    setObjectName(write ? "copyModuleWriteDialog" : "copyModuleReadDialog");
    setWindowTitle(res::kCopyModuleCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    group_ = new QSpinBox(this);
    group_->setRange(0, 255);
    group_->setValue(initial.group);
    port_ = portCombo(this, ports, initial.port);

    auto* form = new QFormLayout;
    form->addRow(write ? res::kCopyGroupNo : res::kCopyReadGroupNo, group_);
    if (write) {
        name_ = new QLineEdit(QString::fromStdString(initial.name), this);
        name_->setMaxLength(15);
        form->addRow(res::kCopyGroupName, name_);
        form->addRow(QString(), new QLabel(res::kCopyGroupNameNote, this));
    }
    form->addRow(write ? res::kCopyPort : res::kCopyReadPort, port_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    if (!write) {
        buttons->button(QDialogButtonBox::Ok)->setText(res::kCopyReadOk);
        buttons->button(QDialogButtonBox::Cancel)->setText(res::kCopyReadCancel);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(buttons);
    (write ? static_cast<QWidget*>(name_) : group_)->setFocus();
}

CopyModuleChoice CopyModuleDialog::choice() const {
    CopyModuleChoice c;
    c.group = group_->value();
    if (name_) c.name = name_->text().toStdString();
    c.port = port_->currentText().trimmed().toStdString();
    return c;
}

std::string AskCopyModulePort(const std::vector<std::string>& ports, const std::string& current,
                              QWidget* parent) {
    QDialog d(parent);
    d.setObjectName("copyModuleConnectDialog");
    d.setWindowTitle(res::kCopyConnectCaption);
    d.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* box = new QGroupBox(res::kCopyCommPort, &d);
    auto* form = new QFormLayout(box);
    auto* port = portCombo(box, ports, current);
    form->addRow(res::kCopyPort, port);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* lay = new QVBoxLayout(&d);
    lay->addWidget(box);
    lay->addWidget(buttons);
    if (d.exec() != QDialog::Accepted) return {};
    return port->currentText().trimmed().toStdString();
}

}  // namespace pv::ui
