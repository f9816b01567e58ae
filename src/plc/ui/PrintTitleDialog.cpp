#include "plc/ui/PrintTitleDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "res/PlcRunTexts.h"

namespace pv::ui {

PrintTitleDialog::PrintTitleDialog(const PrintTitleBlock& t, QWidget* parent)
    : QDialog(parent), original_(t) {
    setObjectName("printTitleDialog");
    setWindowTitle(text::kPrintTitleCaption);
    auto* form = new QFormLayout(this);
    // Each field holds what the project file stores for it (one byte less than its slot).
    auto add = [&](int i, const char* label, const std::string& value, int size) {
        auto* e = new QLineEdit(QString::fromStdString(value), this);
        e->setMaxLength(size - 1);
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QString(std::min(size, 40), 'M')) / 2);
        edits_[i] = e;
        form->addRow(label, e);
    };
    add(0, text::kTitleTitle, PrintTitleBlock::get(t.title), int(t.title.size()));
    add(1, text::kTitleCompany, PrintTitleBlock::get(t.company), int(t.company.size()));
    add(2, text::kTitleAuthor, PrintTitleBlock::get(t.author), int(t.author.size()));
    add(3, text::kTitleVersion, PrintTitleBlock::get(t.version), int(t.version.size()));
    add(4, text::kTitleDate, PrintTitleBlock::get(t.date), int(t.date.size()));
    add(5, text::kTitleNote, PrintTitleBlock::get(t.note1), int(t.note1.size()));
    add(6, "", PrintTitleBlock::get(t.note2), int(t.note2.size()));
    add(7, "", PrintTitleBlock::get(t.note3), int(t.note3.size()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

PrintTitleBlock PrintTitleDialog::title() const {
    PrintTitleBlock t = original_;
    auto text = [&](int i) { return edits_[i]->text().toStdString(); };
    PrintTitleBlock::set(t.title, text(0));
    PrintTitleBlock::set(t.company, text(1));
    PrintTitleBlock::set(t.author, text(2));
    PrintTitleBlock::set(t.version, text(3));
    PrintTitleBlock::set(t.date, text(4));
    PrintTitleBlock::set(t.note1, text(5));
    PrintTitleBlock::set(t.note2, text(6));
    PrintTitleBlock::set(t.note3, text(7));
    return t;
}

}  // namespace pv::ui
