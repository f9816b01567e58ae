#pragma once
// A list of parameters under a caption, with the columns "Code" and "Parameter Name" and one OK
// button: the parameters a Write left out because the drive's model differs from the project's.

#include <QDialog>
#include <string>
#include <utility>
#include <vector>

class QTreeWidget;

namespace pv::ui {

class ParameterListDialog : public QDialog {
    Q_OBJECT
public:
    ParameterListDialog(const QString& caption,
                        const std::vector<std::pair<std::string, std::string>>& rows,
                        QWidget* parent = nullptr);
    QTreeWidget* list() const { return list_; }

private:
    QTreeWidget* list_;
};

}  // namespace pv::ui
