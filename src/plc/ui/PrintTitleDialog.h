#pragma once
// "Print Title": the project's title block that heads every page of the ladder printout.

#include <QDialog>
#include <array>

#include "project/CM240Doc.h"

class QLineEdit;

namespace pv::ui {

class PrintTitleDialog : public QDialog {
    Q_OBJECT
public:
    PrintTitleDialog(const PrintTitleBlock& title, QWidget* parent);
    PrintTitleBlock title() const;
    QLineEdit* edit(int i) const { return edits_[i]; }  // title, company, author, version, date, notes 1..3

private:
    PrintTitleBlock original_;
    std::array<QLineEdit*, 8> edits_{};
};

}  // namespace pv::ui
