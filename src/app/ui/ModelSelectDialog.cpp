#include "app/ui/ModelSelectDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "res/ProjectTexts.h"
#include "res/UiTexts.h"

namespace pv::ui {

ModelSelectDialog::ModelSelectDialog(std::vector<ModelDescription> models, QWidget* parent)
    : QDialog(parent), models_(std::move(models)) {
    setObjectName("modelSelectDialog");
    setWindowTitle(ui_text::kModelSelectCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    model_ = new QComboBox(this);
    for (const auto& m : models_) model_->addItem(QString::fromStdString(m.name));
    program_ = new QComboBox(this);
    program_->addItems({text::kProgramInverterParameter, text::kProgramPlcLadder});
    description_ = new QPlainTextEdit(this);
    description_->setReadOnly(true);
    description_->setMinimumSize(360, 120);
    auto* form = new QFormLayout;
    form->addRow(ui_text::kModelLabel, model_);
    form->addRow(ui_text::kProgramLabel, program_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!models_.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(model_, &QComboBox::currentIndexChanged, this, &ModelSelectDialog::showDescription);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(description_);
    lay->addWidget(buttons);
    showDescription(model_->currentIndex());
}

void ModelSelectDialog::showDescription(int index) {
    if (index < 0 || index >= int(models_.size())) {
        description_->clear();
        return;
    }
    QString d = QString::fromStdString(models_[index].description);
    d.replace("\r\n", "\n");
    description_->setPlainText(d.trimmed());
}

QString ModelSelectDialog::modelName() const {
    return model_->currentText();
}
int ModelSelectDialog::programChoice() const {
    return program_->currentIndex();
}
QString ModelSelectDialog::descriptionText() const {
    return description_->toPlainText();
}

}  // namespace pv::ui
