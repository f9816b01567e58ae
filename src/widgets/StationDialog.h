#pragma once
// Station choice for one transfer: "Read" ("Station Num:") or "Station Select" ("Number:"), a
// combo box listing the stations of the link.

#include <QDialog>
#include <vector>

#include "res/Prompts.h"

class QComboBox;

namespace pv::ui {

class StationDialog : public QDialog {
    Q_OBJECT
public:
    StationDialog(pv::StationDialog kind, const std::vector<int>& stations,
                  QWidget* parent = nullptr);
    // The chosen station, or -1 when the list is empty.
    int station() const;
    QComboBox* combo() const { return combo_; }

private:
    QComboBox* combo_;
    std::vector<int> stations_;
};

}  // namespace pv::ui
