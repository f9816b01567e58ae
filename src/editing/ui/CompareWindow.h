#pragma once
// Compare on the desktop: the choice dialog (which two values), and the modeless window that
// lists the differing parameters, saves them as a text file and prints them through the File
// menu's print commands. A later run refills the open window.

#include <QDialog>
#include <QWidget>
#include <functional>

#include "editing/Compare.h"
#include "widgets/CommandIds.h"
#include "widgets/PrintableView.h"

class QTableWidget;
class QRadioButton;

namespace pv {
class Prompts;
}

namespace pv::ui {

// "参数比较选择": three modes, the third preselected.
class CompareChoiceDialog : public QDialog {
    Q_OBJECT
public:
    explicit CompareChoiceDialog(QWidget* parent = nullptr);
    editing::CompareMode mode() const;
    void setMode(editing::CompareMode mode);

private:
    QRadioButton* radios_[3];
};

class CompareWindow : public QWidget, public PrintableView {
    Q_OBJECT
public:
    // `runCommand` sends Print, Print Preview and Export to PDF to the main window, which finds
    // this window as the active one.
    CompareWindow(Prompts& prompts, std::function<void(CommandId)> runCommand,
                  QWidget* parent = nullptr);

    void show(editing::CompareResult result, editing::CompareMode mode);
    const editing::CompareResult& result() const { return result_; }
    editing::CompareMode mode() const { return mode_; }
    QTableWidget* list() const { return list_; }

    bool print(QPrinter* printer) override;
    QString printTitle() const override;

private:
    void fill();
    Prompts& prompts_;
    std::function<void(CommandId)> runCommand_;
    QTableWidget* list_;
    editing::CompareResult result_;
    editing::CompareMode mode_ = editing::CompareMode::EditedRead;
};

}  // namespace pv::ui
