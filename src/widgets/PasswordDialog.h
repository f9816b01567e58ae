#pragma once
// The three password dialogs: "Password" (one hidden edit), "Set Password" ("Password:",
// "Repeat:") and "Alter Password" ("Current:", "New:", "Again:"). They only gather the texts;
// the password workflow checks digits, ranges and matches and words its own refusals.

#include <QDialog>

#include "res/Prompts.h"

class QLineEdit;

namespace pv::ui {

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(pv::PasswordDialog kind, QWidget* parent = nullptr);
    pv::PasswordEntry entry() const;
    // The edits in the order shown (tests fill them).
    QList<QLineEdit*> edits() const { return edits_; }

private:
    pv::PasswordDialog kind_;
    QList<QLineEdit*> edits_;
};

}  // namespace pv::ui
