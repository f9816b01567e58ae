#pragma once
// The workspace tree of the docked "Workspace" bar: Project > Programme > PLC / Parameter >
// the 24 parameter groups. Every item carries its number (Project 0, Programme 1, PLC 2000,
// Parameter 2001, group g 2002 + 2g); activating an item reports that number.

#include <QTreeWidget>

namespace pv::ui {

class WorkspaceTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kProject = 0;
    static constexpr int kProgramme = 1;
    static constexpr int kPlc = 2000;
    static constexpr int kParameter = 2001;
    static constexpr int kFirstGroup = 2002;
    static int groupItemNumber(int group) { return kFirstGroup + 2 * group; }
    // The group of an item number, -1 for "Parameter" (all groups), nullopt-like -2 otherwise.
    static int groupOfNumber(int number);

    explicit WorkspaceTree(QWidget* parent = nullptr);

    // Builds the items of an open project; clear() empties the tree when none is open.
    void build();
    QTreeWidgetItem* itemByNumber(int number) const;
    static int numberOf(const QTreeWidgetItem* item);

signals:
    void numberActivated(int number);
};

}  // namespace pv::ui
