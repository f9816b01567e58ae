#pragma once
// The parameter list of a project: one row per shown group and per defined parameter, with the
// default, the set value and the value last read from a drive. It keeps no copy of the data:
// every fill reads the document's ParamTable.

#include <QTableWidget>
#include <mutex>
#include <vector>

#include "editing/ui/ParamListRows.h"
#include "project/CM240Doc.h"

namespace pv::ui {

class CParameterView : public QTableWidget {
    Q_OBJECT
public:
    enum Column { ColBlank = 0, ColName = 1, ColDefault = 2, ColSet = 3, ColRead = 4 };

    explicit CParameterView(QWidget* parent = nullptr);

    void setDocument(const CM240Doc* doc) { doc_ = doc; }
    const CM240Doc* document() const { return doc_; }
    // Holds the document's table lock (the link thread writes read values under it) while the
    // caller reads the table.
    std::unique_lock<std::mutex> lockTable() const {
        return doc_ ? std::unique_lock(doc_->tableMutex()) : std::unique_lock<std::mutex>();
    }

    // Rebuilds the list for the selected group (-1 all, 0..23 one, other values nothing).
    void Fill(int selectedGroup);
    // Rewrites the value columns of one group's rows from the table without rebuilding: set
    // value and read value always, the default too for groups 00, 05 and 06 (whose defaults
    // follow the drive's model).
    void RefreshValues(int group);
    // RefreshValues for the shown group, or for every group when all are shown.
    void RefreshShownValues();

    int selectedGroup() const { return selectedGroup_; }
    const std::vector<ParamListRow>& rows() const { return rows_; }
    // Milliseconds the last Fill took (figures for the closing note and the status tip).
    double lastFillMs() const { return lastFillMs_; }

signals:
    // A parameter row was double-clicked: the group and the position of the parameter among
    // the group's defined records. Group rows and empty space report nothing.
    void parameterActivated(int group, int position);

private:
    void setRow(int row, const ParamListRow& r);
    void setValues(int row, const ParamRecord& rec, bool withDefault);

    const CM240Doc* doc_ = nullptr;
    int selectedGroup_ = -1;
    std::vector<ParamListRow> rows_;
    double lastFillMs_ = 0;
};

}  // namespace pv::ui
