// The main window's own commands (files, views, windows, help) and the building of menus,
// toolbar and enabling from the command table every subsystem registers into.
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/ui/CMainFrame.h"
#include "plc/ui/PrintTitleDialog.h"
#include "res/PlcRunTexts.h"
#include "comm/ui/LinkCommands.h"
#include "editing/ui/CParameterView.h"
#include "editing/ui/ExchangeCommands.h"
#include "widgets/QtPrompts.h"
#include "monitor/ui/MonitorWindows.h"
#include "res/UiTexts.h"
#include "widgets/PrintDispatch.h"

namespace pv::ui {

namespace {

constexpr int kRecentCount = 8;

struct MenuTitle {
    Menu menu;
    const char* title;
};
constexpr MenuTitle kMenus[] = {{Menu::File, ui_text::kMenuFile},
                                {Menu::Edit, ui_text::kMenuEdit},
                                {Menu::View, ui_text::kMenuView},
                                {Menu::Operation, ui_text::kMenuOperation},
                                {Menu::Window, ui_text::kMenuWindow},
                                {Menu::Help, ui_text::kMenuHelp}};

// Menus that exist only while a project is open (the empty window has File, Operation, Help).
bool menuNeedsProject(Menu m) {
    return m == Menu::Edit || m == Menu::View || m == Menu::Window;
}

}  // namespace

void CMainFrame::registerFrameCommands() {
    using namespace ui_text;
    auto project = [this] { return state_.isProjectOpen(); };
    auto& t = commands_;

    Command c{CommandId::New, kCmdNew, QKeySequence::New, kTipNew};
    c.styleIcon = QStyle::SP_FileIcon;
    c.menu = Menu::File, c.menuOrder = 10, c.toolbarOrder = 11;
    c.run = [this] { onNew(); };
    t.add(c);

    c = {CommandId::Open, kCmdOpen, QKeySequence::Open, kTipOpen};
    c.styleIcon = QStyle::SP_DialogOpenButton;
    c.menu = Menu::File, c.menuOrder = 11, c.toolbarOrder = 12;
    c.run = [this] { onOpen(); };
    t.add(c);

    c = {CommandId::Save, kCmdSave, QKeySequence::Save, kTipSave};
    c.styleIcon = QStyle::SP_DialogSaveButton;
    c.menu = Menu::File, c.menuOrder = 12, c.projectOnly = true, c.toolbarOrder = 13;
    c.run = [this] { onSave(); };
    c.enabled = project;
    t.add(c);

    c = {CommandId::SaveAs, kCmdSaveAs, QKeySequence("Ctrl+Shift+S")};
    c.menu = Menu::File, c.menuOrder = 13, c.projectOnly = true;
    c.run = [this] { onSaveAs(); };
    c.enabled = project;
    t.add(c);

    // The recent projects fill File's section 30..39; their texts follow the list.
    for (int i = 0; i < kRecentCount; ++i) {
        c = {CommandId(int(CommandId::RecentFirst) + i), QString()};
        c.menu = Menu::File, c.menuOrder = 30 + i;
        c.run = [this, i] { onRecent(i); };
        t.add(c);
    }

    c = {CommandId::Exit, kCmdExit, QKeySequence::Quit};
    c.menu = Menu::File, c.menuOrder = 40;
    c.run = [this] { close(); };
    t.add(c);

    c = {CommandId::ToolbarShow, kCmdToolbar};
    c.menu = Menu::View, c.menuOrder = 10, c.checkable = true;
    c.run = [this] { toolbar_->setVisible(!toolbar_->isVisible()); };
    c.checked = [this] { return !toolbar_->isHidden(); };
    t.add(c);

    c = {CommandId::StatusBarShow, kCmdStatusBar};
    c.menu = Menu::View, c.menuOrder = 11, c.checkable = true;
    c.run = [this] { statusBar()->setVisible(!statusBar()->isVisible()); };
    c.checked = [this] { return !statusBar()->isHidden(); };
    t.add(c);

    c = {CommandId::WorkspaceShow, kCmdWorkspace};
    c.menu = Menu::View, c.menuOrder = 12, c.checkable = true;
    c.run = [this] { dock_->setVisible(!dock_->isVisible()); };
    c.checked = [this] { return !dock_->isHidden(); };
    t.add(c);

    c = {CommandId::ParameterView, kCmdParameterView, {}, kTipInv};
    c.styleIcon = QStyle::SP_FileDialogListView;
    c.menu = Menu::View, c.menuOrder = 20, c.toolbarOrder = 30;
    c.run = [this] { onParameterView(); };
    c.enabled = project;
    t.add(c);

    c = {CommandId::Cascade, kCmdCascade};
    c.menu = Menu::Window, c.menuOrder = 10;
    c.run = [this] { mdi_->cascadeSubWindows(); };
    t.add(c);

    c = {CommandId::Tile, kCmdTile};
    c.menu = Menu::Window, c.menuOrder = 11;
    c.run = [this] { mdi_->tileSubWindows(); };
    t.add(c);

    c = {CommandId::Help, kCmdHelpTopics, QKeySequence(Qt::Key_F1), kTipHelp};
    c.themeIcon = "help-contents";
    c.styleIcon = QStyle::SP_MessageBoxQuestion;
    c.menu = Menu::Help, c.menuOrder = 10, c.toolbarOrder = 40;
    c.run = [this] { onHelp(); };
    t.add(c);

    c = {CommandId::About, kCmdAbout};
    c.menu = Menu::Help, c.menuOrder = 20;
    c.run = [this] { onAbout(); };
    t.add(c);
}

void CMainFrame::createActions() {
    registerFrameCommands();
    RegisterPrintCommands(commands_, *this);
    RegisterLinkCommands(commands_, *this);
    RegisterCopyModuleCommands(commands_, *this);
    RegisterPlcCommands(commands_, *this);
    {
        Command c{CommandId::PrintTitle, text::kCmdPrintTitle};
        c.menu = Menu::File, c.menuOrder = 24, c.projectOnly = true;
        c.run = [this] {
            auto* doc = document();
            if (!doc) return;
            PrintTitleDialog d(doc->titleBlock, this);
            if (prompts_->exec(d) != QDialog::Accepted) return;
            const PrintTitleBlock t = d.title();
            if (t == doc->titleBlock) return;
            doc->titleBlock = t;
            doc->modified = true;
        };
        c.enabled = [this] { return state_.isProjectOpen(); };
        commands_.add(c);
    }
    RegisterPlcRunCommands(
        commands_, *plcRun_, [this] { return state_.isProjectOpen(); },
        [this] { return drive_.state.linked; });
    ExchangeHost exchange;
    exchange.window = [this] { return this; };
    exchange.prompts = [this]() -> QtPrompts& { return *prompts_; };
    exchange.document = [this] { return document(); };
    exchange.modelName = [this] { return state_.modelName; };
    exchange.displaySettings = [this] {
        return ParamDisplaySettings{state_.highFrequencyMode != 0, state_.limitsInHertz != 0};
    };
    exchange.imported = [this] {
        if (auto* v = parameterView()) v->Fill(v->selectedGroup());
        updateTitle();
        updateCommands();
    };
    exchange.available = [this] { return !busy_; };
    RegisterExchangeCommands(commands_, exchange);
    monitors_->registerCommands(commands_);
    RegisterPageCommands(commands_, *this);

    for (const Command& c : commands_.commands()) {
        auto* a = new QAction(c.text, this);
        a->setObjectName(QString("cmd%1").arg(int(c.id)));
        a->setData(int(c.id));
        if (!c.shortcut.isEmpty()) a->setShortcut(c.shortcut);
        if (!c.tip.isEmpty()) {
            a->setToolTip(c.tip);
            a->setStatusTip(c.tip);
        }
        if (c.styleIcon != QStyle::SP_CustomBase) {
            const QIcon fallback = style()->standardIcon(c.styleIcon);
            a->setIcon(c.themeIcon.isEmpty() ? fallback : QIcon::fromTheme(c.themeIcon, fallback));
        }
        a->setCheckable(c.checkable);
        const CommandId id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_.insert(int(id), a);
    }

    toolbar_ = new QToolBar(ui_text::kToolbarTitle, this);
    toolbar_->setObjectName("mainToolbar");
    int section = -1;
    for (const Command* c : commands_.toolbar()) {
        if (section >= 0 && c->toolbarOrder / 10 != section) toolbar_->addSeparator();
        section = c->toolbarOrder / 10;
        toolbar_->addAction(action(c->id));
    }
    addToolBar(toolbar_);
    connect(dock_, &QDockWidget::visibilityChanged, this, [this] { updateCommands(); });
    connect(toolbar_, &QToolBar::visibilityChanged, this, [this] { updateCommands(); });
}

void CMainFrame::rebuildMenus() {
    auto* bar = menuBar();
    bar->clear();
    const bool project = state_.isProjectOpen();
    const QStringList recent = recentFiles();
    for (int i = 0; i < kRecentCount; ++i) {
        auto* a = action(CommandId(int(CommandId::RecentFirst) + i));
        if (i < recent.size()) a->setText(QString("&%1 %2").arg(i + 1).arg(shortenedRecent(recent[i])));
    }
    for (const auto& [menu, title] : kMenus) {
        if (menuNeedsProject(menu) && !project) continue;
        auto* m = bar->addMenu(title);
        int section = -1;
        for (const Command* c : commands_.menu(menu)) {
            if (c->projectOnly && !project) continue;
            const int n = int(c->id);
            if (n >= int(CommandId::RecentFirst) && n <= int(CommandId::RecentLast) &&
                n - int(CommandId::RecentFirst) >= recent.size())
                continue;
            if (section >= 0 && c->menuOrder / 10 != section) m->addSeparator();
            section = c->menuOrder / 10;
            m->addAction(action(c->id));
        }
    }
    updateCommands();
}

void CMainFrame::updateCommands() {
    for (const Command& c : commands_.commands()) {
        QAction* a = action(c.id);
        a->setEnabled(!c.enabled || c.enabled());
        if (c.checked) a->setChecked(c.checked());
    }
    autoRefreshPane_->setVisible(state_.autoRefreshRunning != 0);
}

void CMainFrame::runCommand(CommandId id) {
    // A workflow running on the link thread owns the window until it ends.
    if (link_.modalRunning()) return;
    commands_.run(id);
    // Any command may have changed the project (taking read values, saving, closing it).
    updateTitle();
    updateCommands();
}

}  // namespace pv::ui
