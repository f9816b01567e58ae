#include "widgets/WorkspaceTree.h"

#include <QHeaderView>

#include "res/UiTexts.h"

namespace pv::ui {

namespace {
QTreeWidgetItem* makeItem(QTreeWidgetItem* parent, const char* text, int number) {
    auto* item = new QTreeWidgetItem(parent, QStringList{QString(text)});
    item->setData(0, Qt::UserRole, number);
    item->setToolTip(0, QString(text));
    return item;
}
}  // namespace

int WorkspaceTree::groupOfNumber(int number) {
    if (number == kParameter) return -1;
    const int offset = number - kFirstGroup;
    if (offset >= 0 && offset % 2 == 0 && offset / 2 < int(ui_text::kTreeGroups.size()))
        return offset / 2;
    return -2;
}

WorkspaceTree::WorkspaceTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("workspaceTree");
    setHeaderHidden(true);
    setColumnCount(1);
    // Group names are long; a narrow dock scrolls sideways instead of cutting them short.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int) { emit numberActivated(numberOf(item)); });
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { emit numberActivated(numberOf(item)); });
}

void WorkspaceTree::build() {
    clear();
    auto* project = new QTreeWidgetItem(QStringList{QString(ui_text::kTreeProject)});
    project->setData(0, Qt::UserRole, kProject);
    addTopLevelItem(project);
    auto* programme = makeItem(project, ui_text::kTreeProgramme, kProgramme);
    makeItem(programme, ui_text::kTreePlc, kPlc);
    auto* parameter = makeItem(programme, ui_text::kTreeParameter, kParameter);
    for (int g = 0; g < int(ui_text::kTreeGroups.size()); ++g)
        makeItem(parameter, ui_text::kTreeGroups[g], groupItemNumber(g));
    project->setExpanded(true);
    programme->setExpanded(true);
    parameter->setExpanded(true);
}

QTreeWidgetItem* WorkspaceTree::itemByNumber(int number) const {
    QTreeWidgetItemIterator it(const_cast<WorkspaceTree*>(this));
    for (; *it; ++it)
        if (numberOf(*it) == number) return *it;
    return nullptr;
}

int WorkspaceTree::numberOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

}  // namespace pv::ui
