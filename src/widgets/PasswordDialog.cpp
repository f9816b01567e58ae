#include "widgets/PasswordDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "res/UiTexts.h"

namespace pv::ui {

PasswordDialog::PasswordDialog(pv::PasswordDialog kind, QWidget* parent)
    : QDialog(parent), kind_(kind) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QStringList labels;
    switch (kind) {
        case pv::PasswordDialog::Enter:
            setWindowTitle(ui_text::kPasswordCaption);
            labels << ui_text::kPasswordField;
            break;
        case pv::PasswordDialog::Set:
            setWindowTitle(ui_text::kSetPasswordCaption);
            labels << ui_text::kPasswordField << ui_text::kRepeatField;
            break;
        case pv::PasswordDialog::Alter:
            setWindowTitle(ui_text::kAlterPasswordCaption);
            labels << ui_text::kCurrentField << ui_text::kNewField << ui_text::kAgainField;
            break;
    }
    setObjectName("passwordDialog");
    auto* form = new QFormLayout;
    for (const auto& l : labels) {
        auto* e = new QLineEdit(this);
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(10);
        form->addRow(l, e);
        edits_ << e;
    }
    problem_ = new QLabel(this);
    problem_->setObjectName("passwordProblem");
    problem_->setWordWrap(true);
    problem_->setStyleSheet("color: #b00020;");
    problem_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(problem_);
    lay->addWidget(buttons);
}

QString PasswordDialog::problem() const {
    return problem_->isHidden() ? QString() : problem_->text();
}

void PasswordDialog::accept() {
    const auto problem = check_ ? check_(entry()) : std::nullopt;
    if (!problem) {
        QDialog::accept();
        return;
    }
    problem_->setText(QString::fromStdString(*problem));
    problem_->show();
    // The user types the whole entry again, as after any refused password.
    for (auto* e : edits_) e->clear();
    if (!edits_.isEmpty()) edits_.front()->setFocus();
}

pv::PasswordEntry PasswordDialog::entry() const {
    pv::PasswordEntry e;
    auto text = [this](int i) { return edits_.value(i) ? edits_[i]->text().toStdString() : ""; };
    switch (kind_) {
        case pv::PasswordDialog::Enter:
            e.current = text(0);
            break;
        case pv::PasswordDialog::Set:
            e.first = text(0);
            e.second = text(1);
            break;
        case pv::PasswordDialog::Alter:
            e.current = text(0);
            e.first = text(1);
            e.second = text(2);
            break;
    }
    return e;
}

}  // namespace pv::ui
