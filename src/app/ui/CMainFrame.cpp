#include "app/ui/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "editing/ui/CParameterFrame.h"
#include "app/ui/ModelSelectDialog.h"
#include "editing/ui/ParamPrintout.h"
#include "widgets/QtPrompts.h"
#include "comm/AutoRefresh.h"
#include "project/DataPaths.h"
#include "project/ModelDescriptions.h"
#include "res/ProjectTexts.h"
#include "res/UiTexts.h"
#include "widgets/StatusPanes.h"
#include "widgets/WorkspaceTree.h"

namespace pv::ui {

namespace {
constexpr int kRecentCount = 8;
constexpr int kRecentDisplayChars = 30;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A recent entry as the menu shows it: at most 30 characters, the file name kept whole.
QString shortened(const QString& path) {
    if (path.size() <= kRecentDisplayChars) return path;
    const QString name = QFileInfo(path).fileName();
    if (name.size() + 4 >= kRecentDisplayChars) return name.left(kRecentDisplayChars);
    return path.left(kRecentDisplayChars - name.size() - 4) + ".../" + name;
}

QSettings profile() {
    return QSettings(ui_text::kSettingsOrganisation, ui_text::kSettingsApplication);
}
}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName("mainFrame");
    setWindowIcon(QIcon(":/parvolt/parvolt.png"));
    setAcceptDrops(true);
    prompts_ = new QtPrompts(this);
    session_ = std::make_unique<ProjectSession>(state_, *prompts_, DataDir());

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("mdiArea");
    setCentralWidget(mdi_);

    tree_ = new WorkspaceTree(this);
    dock_ = new QDockWidget(ui_text::kWorkspaceTitle, this);
    dock_->setObjectName("workspaceDock");
    dock_->setWidget(tree_);
    addDockWidget(Qt::LeftDockWidgetArea, dock_);
    connect(tree_, &WorkspaceTree::numberActivated, this, &CMainFrame::activateTreeNumber);

    panes_ = std::make_unique<StatusPanes>(statusBar());
    connect(&autoRefreshTimer_, &QTimer::timeout, this, [this] { autoRefreshTick(); });
    createActions();
    installHooks();
    rebuildMenus();
    showStatusTexts();
    updateTitle();
    // A first start fills at most the screen's free area, so the status bar is never below
    // its edge; later starts put the window and its bars back where the user left them.
    QSize size(1280, 800);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        size = size.boundedTo(free.size() * 0.95);
        move(free.topLeft() +
             QPoint((free.width() - size.width()) / 2, (free.height() - size.height()) / 2));
    }
    resize(size);
    resizeDocks({dock_}, {280}, Qt::Horizontal);
    auto settings = profile();
    restoreGeometry(settings.value(ui_text::kWindowGeometryKey).toByteArray());
    restoreState(settings.value(ui_text::kWindowStateKey).toByteArray());
    // The View menu's marks follow the bars as they came back, not as they were built.
    action(CommandId::WorkspaceShow)->setChecked(!dock_->isHidden());
    action(CommandId::ToolbarShow)->setChecked(!toolbar_->isHidden());
}

CMainFrame::~CMainFrame() {
    link_.waitIdle();
}

QAction* CMainFrame::addAction(CommandId id, const QString& text, const QKeySequence& key,
                               const QString& tip) {
    auto* a = new QAction(text, this);
    a->setObjectName(QString("cmd%1").arg(int(id)));
    a->setData(int(id));
    if (!key.isEmpty()) a->setShortcut(key);
    if (!tip.isEmpty()) {
        a->setToolTip(tip);
        a->setStatusTip(tip);
    }
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_.insert(int(id), a);
    return a;
}

void CMainFrame::createActions() {
    auto* st = style();
    using namespace ui_text;
    addAction(CommandId::New, kCmdNew, QKeySequence("Ctrl+N"), kTipNew)
        ->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    addAction(CommandId::Open, kCmdOpen, QKeySequence("Ctrl+O"), kTipOpen)
        ->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    addAction(CommandId::Save, kCmdSave, QKeySequence("Ctrl+S"), kTipSave)
        ->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    addAction(CommandId::SaveAs, kCmdSaveAs);
    addAction(CommandId::Print, kCmdPrint, QKeySequence("Ctrl+P"), kTipPrint)
        ->setIcon(QIcon::fromTheme("document-print",
                                   st->standardIcon(QStyle::SP_FileDialogDetailedView)));
    addAction(CommandId::PrintPreview, kCmdPrintPreview);
    addAction(CommandId::PrintSetup, kCmdPrintSetup);
    addAction(CommandId::ExportPdf, kCmdExportPdf);
    addAction(CommandId::Exit, kCmdExit);
    addAction(CommandId::Connect, kCmdConnect, {}, kTipConnect)
        ->setIcon(st->standardIcon(QStyle::SP_DriveNetIcon));
    addAction(CommandId::Read, kCmdRead, {}, kTipRead)
        ->setIcon(st->standardIcon(QStyle::SP_ArrowUp));
    addAction(CommandId::Write, kCmdWrite, {}, kTipWrite)
        ->setIcon(st->standardIcon(QStyle::SP_ArrowDown));
    auto* refresh = addAction(CommandId::AutoRefresh, kCmdAutoRefresh, {}, kTipRefresh);
    refresh->setIcon(st->standardIcon(QStyle::SP_BrowserReload));
    refresh->setCheckable(true);
    addAction(CommandId::TakeReadValues, kCmdTakeReadValues);
    addAction(CommandId::ParamPasswordSet, kCmdParamPasswordSet);
    addAction(CommandId::ParamPasswordRemove, kCmdParamPasswordRemove);
    addAction(CommandId::PlcPasswordSet, kCmdPlcPasswordSet);
    addAction(CommandId::PlcPasswordRemove, kCmdPlcPasswordRemove);
    for (int i = 0; i < kRecentCount; ++i) {
        auto* a = addAction(CommandId(int(CommandId::RecentFirst) + i), QString());
        recentActions_ << a;
    }
    addAction(CommandId::ParameterView, kCmdParameterView, {}, kTipInv)
        ->setIcon(st->standardIcon(QStyle::SP_FileDialogListView));
    auto* ws = addAction(CommandId::WorkspaceShow, kCmdWorkspace);
    ws->setCheckable(true);
    ws->setChecked(true);
    connect(dock_, &QDockWidget::visibilityChanged, ws,
            [ws, this] { ws->setChecked(!dock_->isHidden()); });
    auto* tb = addAction(CommandId::ToolbarShow, kCmdToolbar);
    tb->setCheckable(true);
    tb->setChecked(true);
    auto* sb = addAction(CommandId::StatusBarShow, kCmdStatusBar);
    sb->setCheckable(true);
    sb->setChecked(true);
    addAction(CommandId::Cascade, kCmdCascade);
    addAction(CommandId::Tile, kCmdTile);
    addAction(CommandId::Help, kCmdHelpTopics, QKeySequence(Qt::Key_F1), kTipHelp)
        ->setIcon(
            QIcon::fromTheme("help-contents", st->standardIcon(QStyle::SP_MessageBoxQuestion)));
    addAction(CommandId::About, kCmdAbout);

    toolbar_ = new QToolBar(kToolbarTitle, this);
    toolbar_->setObjectName("mainToolbar");
    for (auto id : {CommandId::New, CommandId::Open, CommandId::Save, CommandId::Print})
        toolbar_->addAction(action(id));
    toolbar_->addSeparator();
    toolbar_->addAction(action(CommandId::Connect));
    toolbar_->addAction(action(CommandId::Read));
    toolbar_->addAction(action(CommandId::Write));
    toolbar_->addAction(action(CommandId::AutoRefresh));
    toolbar_->addSeparator();
    toolbar_->addAction(action(CommandId::ParameterView));
    toolbar_->addSeparator();
    toolbar_->addAction(action(CommandId::Help));
    addToolBar(toolbar_);
}

void CMainFrame::rebuildMenus() {
    using namespace ui_text;
    auto* bar = menuBar();
    bar->clear();
    const bool project = state_.isProjectOpen();
    auto* file = bar->addMenu(kMenuFile);
    file->addAction(action(CommandId::New));
    file->addAction(action(CommandId::Open));
    if (project) {
        file->addAction(action(CommandId::Save));
        file->addAction(action(CommandId::SaveAs));
        file->addSeparator();
        file->addAction(action(CommandId::Print));
        file->addAction(action(CommandId::PrintPreview));
        file->addAction(action(CommandId::PrintSetup));
        file->addAction(action(CommandId::ExportPdf));
    }
    file->addSeparator();
    const QStringList recent = recentFiles();
    for (int i = 0; i < kRecentCount; ++i) {
        auto* a = recentActions_[i];
        const bool used = i < recent.size();
        a->setVisible(used);
        if (used) a->setText(QString("&%1 %2").arg(i + 1).arg(shortened(recent[i])));
        file->addAction(a);
    }
    if (!recent.isEmpty()) file->addSeparator();
    file->addAction(action(CommandId::Exit));

    if (project) {
        auto* view = bar->addMenu(kMenuView);
        view->addAction(action(CommandId::ToolbarShow));
        view->addAction(action(CommandId::StatusBarShow));
        view->addAction(action(CommandId::WorkspaceShow));
        view->addSeparator();
        view->addAction(action(CommandId::ParameterView));
    }
    auto* operation = bar->addMenu(kMenuOperation);
    operation->addAction(action(CommandId::Connect));
    operation->addAction(action(CommandId::Read));
    if (project) {
        operation->addAction(action(CommandId::Write));
        operation->addSeparator();
        operation->addAction(action(CommandId::AutoRefresh));
        operation->addAction(action(CommandId::TakeReadValues));
        operation->addSeparator();
        operation->addAction(action(CommandId::ParamPasswordSet));
        operation->addAction(action(CommandId::ParamPasswordRemove));
        operation->addAction(action(CommandId::PlcPasswordSet));
        operation->addAction(action(CommandId::PlcPasswordRemove));
    }
    auto* help = bar->addMenu(kMenuHelp);
    help->addAction(action(CommandId::Help));
    help->addSeparator();
    help->addAction(action(CommandId::About));
    if (project) {
        // The window menu sits before Help, as desktop programs place it.
        auto* window = new QMenu(kMenuWindow, bar);
        window->addAction(action(CommandId::Cascade));
        window->addAction(action(CommandId::Tile));
        bar->insertMenu(help->menuAction(), window);
    }
    updateCommands();
}

void CMainFrame::updateCommands() {
    const bool project = state_.isProjectOpen();
    for (auto id : {CommandId::Save, CommandId::SaveAs, CommandId::Print, CommandId::PrintPreview,
                    CommandId::PrintSetup, CommandId::ExportPdf, CommandId::ParameterView})
        action(id)->setEnabled(project);
    // Transfers need a project window and a link, and none may start while a Write runs.
    const bool linked = project && linkState_.linked && !busy_;
    for (auto id : {CommandId::Read, CommandId::Write, CommandId::ParamPasswordSet,
                    CommandId::ParamPasswordRemove, CommandId::PlcPasswordSet,
                    CommandId::PlcPasswordRemove, CommandId::AutoRefresh})
        action(id)->setEnabled(linked);
    action(CommandId::AutoRefresh)->setChecked(state_.autoRefreshRunning != 0);
    action(CommandId::TakeReadValues)->setEnabled(project);
}

void CMainFrame::installHooks() {
    auto& h = session_->hooks;
    h.stopActivity = [this] { stopAutoRefresh(); };
    h.closeWindows = [this] { closeProjectWindows(); };
    h.askOpenPath = [this]() -> std::optional<std::string> {
        const QString p = QFileDialog::getOpenFileName(this, ui_text::kOpenCaption, lastFolder(),
                                                       ui_text::kProjectFilter);
        if (p.isEmpty()) return std::nullopt;
        return p.toStdString();
    };
    h.askSavePath = [this]() -> std::optional<std::string> {
        const QString start = state_.projectPath.empty() ? lastFolder() : q(state_.projectPath);
        QString p = QFileDialog::getSaveFileName(this, ui_text::kSaveAsCaption, start,
                                                 ui_text::kProjectFilter);
        if (p.isEmpty()) return std::nullopt;
        if (QFileInfo(p).suffix().isEmpty()) p += QString(".") + ui_text::kProjectSuffix;
        return p.toStdString();
    };
    h.addRecentFile = [this](const std::string& path) {
        addRecentFile(q(path));
        updateTitle();
    };
    h.projectShown = [this] { projectShown(); };
}

void CMainFrame::runCommand(CommandId id) {
    // A workflow running on the link thread owns the window until it ends.
    if (link_.modalRunning()) return;
    const int n = int(id);
    if (n >= int(CommandId::RecentFirst) && n <= int(CommandId::RecentLast)) {
        onRecent(n - int(CommandId::RecentFirst));
        updateTitle();
        return;
    }
    switch (id) {
        case CommandId::New:
            onNew();
            break;
        case CommandId::Open:
            onOpen();
            break;
        case CommandId::Save:
            onSave();
            break;
        case CommandId::SaveAs:
            onSaveAs();
            break;
        case CommandId::Print:
            onPrint();
            break;
        case CommandId::PrintPreview:
            onPrintPreview();
            break;
        case CommandId::PrintSetup:
            onPrintSetup();
            break;
        case CommandId::ExportPdf:
            onExportPdf();
            break;
        case CommandId::Exit:
            close();
            break;
        case CommandId::Connect:
            onConnect();
            break;
        case CommandId::Read:
            onRead();
            break;
        case CommandId::Write:
            onWrite();
            break;
        case CommandId::AutoRefresh:
            onAutoRefresh();
            break;
        case CommandId::TakeReadValues:
            onTakeReadValues();
            break;
        case CommandId::ParamPasswordSet:
            onPassword(false, true);
            break;
        case CommandId::ParamPasswordRemove:
            onPassword(false, false);
            break;
        case CommandId::PlcPasswordSet:
            onPassword(true, true);
            break;
        case CommandId::PlcPasswordRemove:
            onPassword(true, false);
            break;
        case CommandId::ParameterView:
            onParameterView();
            break;
        case CommandId::WorkspaceShow:
            dock_->setVisible(!dock_->isVisible());
            break;
        case CommandId::ToolbarShow:
            toolbar_->setVisible(!toolbar_->isVisible());
            break;
        case CommandId::StatusBarShow:
            statusBar()->setVisible(!statusBar()->isVisible());
            break;
        case CommandId::Cascade:
            mdi_->cascadeSubWindows();
            break;
        case CommandId::Tile:
            mdi_->tileSubWindows();
            break;
        case CommandId::Help:
            onHelp();
            break;
        case CommandId::About:
            onAbout();
            break;
        default:
            break;
    }
    // Any command may have changed the project (taking read values, saving, closing it).
    updateTitle();
}

bool CMainFrame::refuseWhileAutoRefresh() {
    if (!state_.autoRefreshRunning) return false;
    prompts_->message(text::kAutoRefreshRunning);
    return true;
}

void CMainFrame::onNew() {
    if (refuseWhileAutoRefresh()) return;
    ModelSelectDialog dialog(LoadModelDescriptions(DataFile(kModelDescriptionsFileName)), this);
    if (dialog.exec() != QDialog::Accepted) return;
    programChoice_ = dialog.programChoice();
    session_->newProject(dialog.modelName().toStdString(), programChoice_);
}

void CMainFrame::onOpen() {
    if (refuseWhileAutoRefresh()) return;
    session_->open(OpenKind::Command);
}

bool CMainFrame::openPath(const QString& path) {
    if (refuseWhileAutoRefresh()) return false;
    return session_->open(OpenKind::GivenPath, path.toStdString());
}

void CMainFrame::onSave() {
    if (session_->save()) updateTitle();
    showStatusTexts();
}

void CMainFrame::onSaveAs() {
    if (session_->saveAs()) updateTitle();
    showStatusTexts();
}

void CMainFrame::onRecent(int index) {
    const QStringList recent = recentFiles();
    if (index < 0 || index >= recent.size()) return;
    const QString path = recent[index];
    if (refuseWhileAutoRefresh()) return;
    if (!QFileInfo::exists(path)) {
        // A vanished entry cannot be opened again; drop it from the list.
        prompts_->message(text::kCannotOpenFile);
        removeRecentFile(path);
        return;
    }
    if (!session_->open(OpenKind::GivenPath, path.toStdString()) && document() == nullptr)
        removeRecentFile(path);
}

CParameterView* CMainFrame::parameterView() const {
    return paramFrame_ ? paramFrame_->view() : nullptr;
}

void CMainFrame::onPrint() {
    auto* doc = document();
    if (!doc) return;
    ParamPrintout printout(doc->table, state_.selectedGroup);
    QPrintDialog dialog(&printer_, this);
    dialog.setMinMax(1, std::max(1, printout.pageCount()));
    if (dialog.exec() != QDialog::Accepted) return;
    std::lock_guard lock(tableMutex_);
    printout.print(printer_);
}

void CMainFrame::onPrintPreview() {
    auto* doc = document();
    if (!doc) return;
    ParamPrintout printout(doc->table, state_.selectedGroup);
    QPrintPreviewDialog preview(&printer_, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&printout, this](QPrinter* p) {
        std::lock_guard lock(tableMutex_);
        printout.print(*p);
    });
    preview.resize(900, 760);
    preview.exec();
}

void CMainFrame::onPrintSetup() {
    QPageSetupDialog dialog(&printer_, this);
    dialog.exec();
}

void CMainFrame::onExportPdf() {
    auto* doc = document();
    if (!doc) return;
    // The printout goes beside its project unless the user picks another place.
    QString suggested = q(state_.projectPath);
    if (!suggested.isEmpty()) {
        const QFileInfo project(suggested);
        suggested = project.absoluteDir().filePath(project.completeBaseName() + ".pdf");
    }
    QString path = QFileDialog::getSaveFileName(this, ui_text::kExportPdfCaption, suggested,
                                                ui_text::kPdfFilter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageLayout(printer_.pageLayout());
    pdf.setOutputFileName(path);
    std::lock_guard lock(tableMutex_);
    ParamPrintout printout(doc->table, state_.selectedGroup);
    // A folder that cannot be written to must not look like a finished export.
    if (printout.pageCount() > 0 && printout.print(pdf) == 0)
        prompts_->message(text::kCannotSaveFile);
}

void CMainFrame::onHelp() {
    QStringList candidates = {q(ProgramDir()) + ui_text::kHelpFile,
                              q(DataDir()) + ui_text::kHelpFile};
    for (const auto& c : candidates) {
        if (!QFileInfo::exists(c)) continue;
        // A desktop without a browser still shows the help: in a window of the program's own.
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(c))) showHelpWindow(c);
        return;
    }
    prompts_->message(ui_text::kHelpMissing);
}

void CMainFrame::showHelpWindow(const QString& file) {
    if (!helpWindow_) {
        auto* browser = new QTextBrowser(this);
        browser->setObjectName("helpWindow");
        browser->setWindowFlag(Qt::Window);
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setWindowTitle(ui_text::kHelpCaption);
        browser->setOpenExternalLinks(true);
        browser->resize(QSize(820, 700).boundedTo(size()));
        helpWindow_ = browser;
    }
    helpWindow_->setSource(QUrl::fromLocalFile(file));
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void CMainFrame::onAbout() {
    QMessageBox box(this);
    box.setObjectName("aboutBox");
    box.setWindowTitle(ui_text::kAboutCaption);
    box.setIconPixmap(QIcon(":/parvolt/parvolt.png").pixmap(64, 64));
    box.setText(QString("<b>%1</b>").arg(ui_text::kAboutProduct));
    box.setInformativeText(ui_text::kAboutCompany);
    box.exec();
}

void CMainFrame::onParameterView() {
    if (!paramFrame_) return;
    state_.viewMode = ViewMode::Parameters;
    paramFrame_->showMaximized();
    mdi_->setActiveSubWindow(paramFrame_);
}

void CMainFrame::activateTreeNumber(int number) {
    if (!state_.isProjectOpen()) return;
    const int group = WorkspaceTree::groupOfNumber(number);
    if (group < -1) return;  // "Project", "Programme" and "PLC" select no parameter group
    onParameterView();
    if (group == state_.selectedGroup && parameterView() &&
        parameterView()->selectedGroup() == group)
        return;
    state_.selectedGroup = group;
    if (auto* v = parameterView()) v->Fill(group);
}

void CMainFrame::projectShown() {
    tree_->build();
    if (!paramFrame_) {
        paramFrame_ = new CParameterFrame;
        mdi_->addSubWindow(paramFrame_);
        connect(paramFrame_, &CChildFrame::closeRequested, this, [this] { closeProjectAsked(); });
    }
    paramFrame_->view()->setDocument(document());
    paramFrame_->view()->setTableLock(&tableMutex_);
    paramFrame_->view()->Fill(state_.selectedGroup);
    paramFrame_->showMaximized();
    state_.viewMode = ViewMode::Parameters;
    rebuildMenus();
    showStatusTexts();
    updateTitle();
}

void CMainFrame::closeProjectWindows() {
    if (paramFrame_) {
        paramFrame_->view()->setDocument(nullptr);
        paramFrame_->closeForGood();
        mdi_->removeSubWindow(paramFrame_);
        paramFrame_->deleteLater();
        paramFrame_ = nullptr;
    }
    tree_->clear();
}

bool CMainFrame::closeProjectAsked() {
    if (!state_.isProjectOpen()) return true;
    if (!session_->close(text::kModifiedSaveQuestion)) return false;
    closeProjectWindows();
    state_.closeProject();
    rebuildMenus();
    showStatusTexts();
    updateTitle();
    return true;
}

void CMainFrame::showStatusTexts() {
    const auto& s = state_.status;
    panes_->setPane(0, q(s.fileName));
    panes_->setPane(1, q(s.version));
    panes_->setPane(2, q(s.plcStatus));
    panes_->setPane(3, s.link.empty() ? QString(text::kLinkUnlinked) : q(s.link));
    panes_->setPane(4, q(s.model));
    panes_->setPane(5, q(s.station));
}

void CMainFrame::setPane(int pane, const QString& text) {
    panes_->setPane(pane, text);
}

QStringList CMainFrame::recentFiles() const {
    auto s = profile();
    s.beginGroup(ui_text::kRecentSection);
    QStringList out;
    for (int i = 1; i <= kRecentCount; ++i) {
        const QString v = s.value(QString(ui_text::kRecentKey).arg(i)).toString();
        if (!v.isEmpty()) out << v;
    }
    return out;
}

static void storeRecent(const QStringList& list) {
    auto s = profile();
    s.beginGroup(ui_text::kRecentSection);
    for (int i = 1; i <= kRecentCount; ++i) {
        const QString key = QString(ui_text::kRecentKey).arg(i);
        if (i <= list.size())
            s.setValue(key, list[i - 1]);
        else
            s.remove(key);
    }
}

QString CMainFrame::lastFolder() const {
    // File dialogs open where the user last kept a project.
    const QStringList recent = recentFiles();
    return recent.isEmpty() ? QString() : QFileInfo(recent.first()).absolutePath();
}

void CMainFrame::addRecentFile(const QString& path) {
    const QString abs = QFileInfo(path).absoluteFilePath();
    QStringList list = recentFiles();
    list.removeAll(abs);
    list.prepend(abs);
    while (list.size() > kRecentCount) list.removeLast();
    storeRecent(list);
    rebuildMenus();
}

void CMainFrame::removeRecentFile(const QString& path) {
    QStringList list = recentFiles();
    list.removeAll(path);
    storeRecent(list);
    rebuildMenus();
}

void CMainFrame::updateTitle() {
    QString title = ui_text::kProductName;
    if (state_.isProjectOpen()) {
        const QString name = state_.projectPath.empty()
                                 ? QString(text::kNewFileName)
                                 : QFileInfo(q(state_.projectPath)).fileName();
        // "[*]" becomes a star while the project holds changes not yet saved.
        title += " - [" + name + "[*]]";
    }
    setWindowTitle(title);
    setWindowModified(document() && document()->modified);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (link_.modalRunning()) {
        event->ignore();
        return;
    }
    if (state_.isProjectOpen() && !session_->close(text::kModifiedSaveQuestion)) {
        event->ignore();
        return;
    }
    link_.waitIdle();
    auto settings = profile();
    settings.setValue(ui_text::kWindowGeometryKey, saveGeometry());
    settings.setValue(ui_text::kWindowStateKey, saveState());
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            openPath(url.toLocalFile());
            return;
        }
    }
}

void CMainFrame::startUp(const QString& commandLinePath, const std::string& handOverPath) {
    QString path = commandLinePath;
    if (path.endsWith("/dde")) path.chop(4);
    if (!path.isEmpty()) openPath(path);
    if (auto h = TakeHandOverFile(handOverPath))
        applyHandOver(*h);
    else
        readSettingsFiles();
}

void CMainFrame::applyHandOver(const HandOver& h) {
    if (h.mode == 1 && !h.projectPath.empty()) openPath(q(h.projectPath));
    if (h.mode == 2) linkFromHandOver(h);
}

}  // namespace pv::ui
