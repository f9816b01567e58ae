#include "comm/ui/AdapterDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "comm/NetAdapters.h"
#include "res/CopyModuleTexts.h"
#include "res/UiTexts.h"

namespace pv::ui {

namespace {

QLineEdit* ipEditor(const std::string& ip, QWidget* parent) {
    auto* e = new QLineEdit(QString::fromStdString(ip), parent);
    e->setValidator(new QRegularExpressionValidator(
        QRegularExpression(R"(\d{0,3}(\.\d{0,3}){0,3})"), e));
    e->setPlaceholderText("192.168.1.20");
    return e;
}

void finish(QDialog& d, QVBoxLayout* lay) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    lay->addWidget(buttons);
    d.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

bool refuse(QWidget* parent, const char* text) {
    QMessageBox::warning(parent, ui_text::kProductName, text);
    return false;
}

}  // namespace

AdapterDialog::AdapterDialog(const std::string& ip, const std::string& name, QWidget* parent)
    : QDialog(parent) {
    setObjectName("adapterDialog");
    setWindowTitle(res::kAdapterDialogCaption);
    ip_ = ipEditor(ip, this);
    name_ = new QLineEdit(QString::fromStdString(name), this);
    auto* form = new QFormLayout;
    form->addRow(res::kAdapterIp, ip_);
    form->addRow(res::kAdapterName, name_);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    finish(*this, lay);
}

std::string AdapterDialog::ip() const {
    return ip_->text().trimmed().toStdString();
}

std::string AdapterDialog::name() const {
    return name_->text().trimmed().toStdString();
}

void AdapterDialog::done(int r) {
    if (r == Accepted && !comm::ValidIpText(ip()) && !refuse(this, res::kBadIpText)) return;
    QDialog::done(r);
}

AssignAddressDialog::AssignAddressDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("assignAddressDialog");
    setWindowTitle(res::kAssignIpCaption);
    mac_ = new QLineEdit(this);
    mac_->setMaxLength(17);
    ip_ = ipEditor({}, this);
    auto* form = new QFormLayout;
    form->addRow(res::kAssignMac, mac_);
    form->addRow(QString(), new QLabel(res::kAssignMacHint, this));
    form->addRow(res::kAdapterIp, ip_);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    finish(*this, lay);
}

std::string AssignAddressDialog::mac() const {
    return comm::NormalizedMac(mac_->text().trimmed().toStdString());
}

std::string AssignAddressDialog::ip() const {
    return ip_->text().trimmed().toStdString();
}

void AssignAddressDialog::done(int r) {
    if (r == Accepted) {
        if (mac().empty() && !refuse(this, res::kBadMacText)) return;
        if (!comm::ValidIpText(ip()) && !refuse(this, res::kBadIpText)) return;
    }
    QDialog::done(r);
}

}  // namespace pv::ui
