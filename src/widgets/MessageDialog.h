#pragma once
// The program's own small dialogs: "Error" (one OK button) and "Message" (a question with OK and
// Cancel). Both show one text line and are modal.

#include <QDialog>

class QLabel;

namespace pv::ui {

class MessageDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Error, Question };
    MessageDialog(Kind kind, const QString& text, QWidget* parent = nullptr);
    QString text() const;

private:
    QLabel* label_;
};

}  // namespace pv::ui
