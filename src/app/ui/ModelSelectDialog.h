#pragma once
// "Model Select": the model names of N350.spe in file order, the program to open first
// ("Inverter parameter" or "PLC Ladder") and the description of the chosen model.

#include <QDialog>
#include <vector>

#include "project/ModelDescriptions.h"

class QComboBox;
class QPlainTextEdit;

namespace pv::ui {

class ModelSelectDialog : public QDialog {
    Q_OBJECT
public:
    ModelSelectDialog(std::vector<ModelDescription> models, QWidget* parent = nullptr);

    QString modelName() const;
    int programChoice() const;  // 0 parameters, 1 ladder
    QComboBox* modelBox() const { return model_; }
    QString descriptionText() const;

private:
    void showDescription(int index);

    std::vector<ModelDescription> models_;
    QComboBox* model_;
    QComboBox* program_;
    QPlainTextEdit* description_;
};

}  // namespace pv::ui
