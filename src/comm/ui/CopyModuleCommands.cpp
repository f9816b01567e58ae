#include "comm/ui/CopyModuleCommands.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "res/CopyModuleTexts.h"

namespace pv::ui {

void RegisterCopyModuleCommands(CommandTable& table, CopyModuleCommandTarget& t) {
    using namespace res;
    auto allowed = [&t] { return t.copyModuleAllowed(); };
    struct Entry {
        CommandId id;
        const char* text;
        const char* key;
        void (CopyModuleCommandTarget::*run)();
        bool needsProject;
    };
    const Entry entries[] = {
        {CommandId::CopyModuleWrite, kCopyMenuWrite, "Ctrl+Alt+W",
         &CopyModuleCommandTarget::onCopyModuleWrite, true},
        {CommandId::CopyModuleRead, kCopyMenuRead, "Ctrl+Alt+R",
         &CopyModuleCommandTarget::onCopyModuleRead, true},
        {CommandId::CopyModuleCompare, kCopyMenuCompare, "",
         &CopyModuleCommandTarget::onCopyModuleCompare, true},
        {CommandId::CopyModulePort, kCopyMenuConnect, "", &CopyModuleCommandTarget::onCopyModulePort,
         false},
    };
    int order = 70;
    for (const auto& e : entries) {
        Command c{e.id, e.text, QKeySequence(e.key)};
        c.menu = Menu::Operation;
        c.menuOrder = order++;
        c.projectOnly = e.needsProject;
        c.run = [&t, run = e.run] { (t.*run)(); };
        if (e.needsProject) c.enabled = allowed;
        table.add(c);
    }
}

void ShowCopyModuleCompare(const std::vector<comm::CopyDifference>& rows, QWidget* parent,
                           const std::function<int(QDialog&)>& exec) {
    QDialog d(parent);
    d.setObjectName("copyModuleCompareDialog");
    d.setWindowTitle(res::kCopyCompareCaption);
    d.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* list = new QTableWidget(static_cast<int>(rows.size()), 3, &d);
    list->setHorizontalHeaderLabels(
        {res::kCopyCompareCode, res::kCopyComparePc, res::kCopyCompareModule});
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        list->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(rows[r].code)));
        list->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(rows[r].pc)));
        list->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(rows[r].module)));
    }
    auto* buttons = new QDialogButtonBox(&d);
    buttons->addButton(res::kCopyCompareClose, QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* lay = new QVBoxLayout(&d);
    lay->addWidget(list);
    lay->addWidget(buttons);
    d.resize(480, 360);
    exec(d);
}

}  // namespace pv::ui
