#pragma once
// Answers the desktop's modal dialogs from a script and records what they showed, in order, so a
// test can drive a whole workflow through the real windows without a person at the keyboard.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <QTreeWidget>
#include <deque>

#include <QSpinBox>

#include "widgets/CopyModuleDialog.h"
#include "widgets/QtPrompts.h"
#include "widgets/ParameterListDialog.h"
#include "widgets/PasswordDialog.h"
#include "widgets/StationDialog.h"
#include "widgets/TransferSelectDialog.h"
#include "widgets/MessageDialog.h"

namespace pv::ui::test {

struct DialogScript {
    QStringList shown;                                   // "kind: text"
    std::deque<QMessageBox::StandardButton> boxAnswers;  // default: the first button offered
    std::deque<bool> questionAnswers;                    // "Message" dialog; default OK
    std::deque<QStringList> passwords;                   // entries typed into password dialogs
    std::deque<bool> hiddenParameters;                   // transfer selection; default off
    int stationIndex = 0;
    std::deque<CopyModuleChoice> copyModuleAnswers;      // typed into the copy module dialogs
    std::function<void(QDialog&)> onEveryDialog;  // e.g. to watch the event loop

    void install(QtPrompts& prompts) {
        prompts.setDialogHook([this](QDialog& d) { return answer(d); });
    }

    bool answer(QDialog& d) {
        if (onEveryDialog) onEveryDialog(d);
        if (auto* box = qobject_cast<QMessageBox*>(&d)) {
            shown << "message: " + box->text();
            QMessageBox::StandardButton b = QMessageBox::NoButton;
            if (!boxAnswers.empty()) {
                b = boxAnswers.front();
                boxAnswers.pop_front();
            }
            QAbstractButton* button = b != QMessageBox::NoButton ? box->button(b) : nullptr;
            if (!button) button = box->buttons().value(0);
            if (box->standardButtons() & QMessageBox::Yes && b == QMessageBox::NoButton)
                button = box->button(QMessageBox::Yes);
            button->click();
            return true;
        }
        if (auto* m = qobject_cast<MessageDialog*>(&d)) {
            const bool error = m->objectName() == "errorDialog";
            shown << QString(error ? "error: " : "question: ") + m->text();
            bool ok = true;
            if (!error && !questionAnswers.empty()) {
                ok = questionAnswers.front();
                questionAnswers.pop_front();
            }
            d.done(ok ? QDialog::Accepted : QDialog::Rejected);
            return true;
        }
        if (auto* s = qobject_cast<StationDialog*>(&d)) {
            shown << "station: " + s->windowTitle();
            s->combo()->setCurrentIndex(stationIndex);
            d.done(QDialog::Accepted);
            return true;
        }
        if (auto* t = qobject_cast<TransferSelectDialog*>(&d)) {
            shown << "transfer: " + t->windowTitle();
            if (!hiddenParameters.empty()) {
                t->hiddenBox()->setChecked(hiddenParameters.front());
                hiddenParameters.pop_front();
            }
            d.done(QDialog::Accepted);
            return true;
        }
        if (auto* p = qobject_cast<PasswordDialog*>(&d)) {
            shown << "password: " + p->windowTitle();
            // Each entry is typed and OK pressed; a refused one leaves the dialog open with its
            // reason, and the next entry is typed into it.
            while (!passwords.empty()) {
                const QStringList texts = passwords.front();
                passwords.pop_front();
                for (int i = 0; i < p->edits().size() && i < texts.size(); ++i)
                    p->edits()[i]->setText(texts[i]);
                p->accept();
                if (p->result() == QDialog::Accepted) return true;
                shown << "refused: " + p->problem();
            }
            d.done(QDialog::Rejected);
            return true;
        }
        if (auto* c = qobject_cast<CopyModuleDialog*>(&d)) {
            shown << "copymodule: " + c->objectName();
            if (copyModuleAnswers.empty()) {
                d.done(QDialog::Rejected);
                return true;
            }
            const CopyModuleChoice a = copyModuleAnswers.front();
            copyModuleAnswers.pop_front();
            c->groupBox()->setValue(a.group);
            if (c->nameEdit()) c->nameEdit()->setText(QString::fromStdString(a.name));
            c->portBox()->setCurrentText(QString::fromStdString(a.port));
            d.done(QDialog::Accepted);
            return true;
        }
        if (auto* l = qobject_cast<ParameterListDialog*>(&d)) {
            shown << QString("list: %1 (%2 rows)")
                         .arg(l->windowTitle())
                         .arg(l->list()->topLevelItemCount());
            d.done(QDialog::Accepted);
            return true;
        }
        // A dialog the script does not know is closed rather than left waiting for a person.
        shown << "dialog: " + d.windowTitle();
        d.done(QDialog::Rejected);
        return true;
    }

    QStringList texts(const QString& kind) const {
        QStringList out;
        for (const auto& s : shown)
            if (s.startsWith(kind + ": ")) out << s.mid(kind.size() + 2);
        return out;
    }
};

}  // namespace pv::ui::test
