#pragma once
// The copy module's dialogs: "Copy Module" before a write (storage group number, group name of
// at most 15 characters, port) and the read dialog (storage group number and port, in the
// module's own captions). The port list holds the ports offered and may be typed into (a
// pseudo-terminal of a virtual module).

#include <QDialog>
#include <string>
#include <vector>

#include "res/Prompts.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace pv::ui {

class CopyModuleDialog : public QDialog {
    Q_OBJECT
public:
    CopyModuleDialog(pv::CopyModuleDialog kind, const std::vector<std::string>& ports,
                     const CopyModuleChoice& initial, QWidget* parent = nullptr);
    CopyModuleChoice choice() const;

    QSpinBox* groupBox() const { return group_; }
    QLineEdit* nameEdit() const { return name_; }
    QComboBox* portBox() const { return port_; }

private:
    QSpinBox* group_;
    QLineEdit* name_ = nullptr;
    QComboBox* port_;
};

// The module's connection dialog (template 304): the port it is attached to. Empty on Cancel.
std::string AskCopyModulePort(const std::vector<std::string>& ports, const std::string& current,
                              QWidget* parent);

}  // namespace pv::ui
