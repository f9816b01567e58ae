#pragma once
// The parameter list of a project: one row per shown group and per defined parameter, with the
// default, the set value and the value last read from a drive. It keeps no copy of the data:
// every fill reads the document's ParamTable.

#include <QElapsedTimer>
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

    // Shows only the parameters the filter keeps (and the group rows above them).
    void setFilter(const ParamListFilter& filter);
    const ParamListFilter& filter() const { return filter_; }
    // Parameter rows shown, and in all, under the current filter.
    int shownParameters() const { return shownParameters_; }
    int parameterCount() const { return parameterCount_; }
    // Read values that no longer come from the drive (a Read cancelled or failed, the link
    // lost) are shown greyed and in italics until the next complete read.
    void setReadValuesStale(bool stale);
    bool readValuesStale() const { return readStale_; }
    // Selects the first shown parameter whose code starts with `typed` ("13-00", "1300") or,
    // failing that, whose name contains it; false when none does.
    bool goTo(const QString& typed);

    // Typing in the list goes to a parameter by its code, not by the indented cell text.
    void keyboardSearch(const QString& search) override;

signals:
    // The rows shown changed (filter, fill): shown and total parameter counts.
    void shownChanged(int shown, int total);
    // A parameter row was double-clicked: the group and the position of the parameter among
    // the group's defined records. Group rows and empty space report nothing.
    void parameterActivated(int group, int position);

private:
    QString typed_;  // keys typed in quick succession, the code being looked for
    QElapsedTimer typedSince_;
    void setRow(int row, const ParamListRow& r);
    void setValues(int row, const ParamRecord& rec, bool withDefault);
    void applyFilter();
    void styleReadCell(QTableWidgetItem* it, const ParamRecord& rec) const;
    ParamListFilter filter_;
    int shownParameters_ = 0;
    int parameterCount_ = 0;
    bool readStale_ = false;

    const CM240Doc* doc_ = nullptr;
    int selectedGroup_ = -1;
    std::vector<ParamListRow> rows_;
    double lastFillMs_ = 0;
};

}  // namespace pv::ui
