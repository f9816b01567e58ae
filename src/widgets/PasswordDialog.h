#pragma once
// The three password dialogs: "Password" (one hidden edit), "Set Password" ("Password:",
// "Repeat:") and "Alter Password" ("Current:", "New:", "Again:"). They only gather the texts;
// the password workflow checks digits, ranges and matches and words its own refusals. OK asks
// the workflow's check: a refused entry keeps the dialog open with the reason shown under the
// fields, so a typing mistake costs no new command.

#include <QDialog>

#include "res/Prompts.h"

class QLabel;
class QLineEdit;

namespace pv::ui {

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(pv::PasswordDialog kind, QWidget* parent = nullptr);
    pv::PasswordEntry entry() const;
    void setCheck(pv::PasswordCheck check) { check_ = std::move(check); }
    // The edits in the order shown (tests fill them).
    QList<QLineEdit*> edits() const { return edits_; }
    // The reason the last entry was refused; empty while none was.
    QString problem() const;

    // Closes with OK only when the check passes the entry.
    void accept() override;

private:
    pv::PasswordDialog kind_;
    pv::PasswordCheck check_;
    QList<QLineEdit*> edits_;
    QLabel* problem_;
};

}  // namespace pv::ui
