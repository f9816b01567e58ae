#include "widgets/ParameterListDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "res/UiTexts.h"

namespace pv::ui {

ParameterListDialog::ParameterListDialog(
    const QString& caption, const std::vector<std::pair<std::string, std::string>>& rows,
    QWidget* parent)
    : QDialog(parent) {
    setObjectName("parameterListDialog");
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({ui_text::kListCode, ui_text::kListParameterName});
    list_->header()->setSectionsClickable(false);
    list_->setColumnWidth(0, 80);
    for (const auto& [code, name] : rows)
        list_->addTopLevelItem(new QTreeWidgetItem(
            QStringList{QString::fromStdString(code), QString::fromStdString(name)}));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(list_);
    lay->addWidget(buttons);
    resize(440, 320);
}

}  // namespace pv::ui
