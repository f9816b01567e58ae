#include "app/ui/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QLabel>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "editing/ui/CParameterFrame.h"
#include "plc/ui/CPlcFrame.h"
#include "editing/ui/CParameterView.h"
#include "app/ui/ModelSelectDialog.h"
#include "widgets/QtPrompts.h"
#include "comm/AutoRefresh.h"
#include "monitor/ui/GraphMonitorDialog.h"
#include "monitor/ui/MonitorWindows.h"
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

bool hasReadValues(const ParamTable& table) {
    for (const auto& g : table.groups)
        for (const auto& r : g.params)
            if (!r.readValue.empty()) return true;
    return false;
}

}  // namespace

// A recent entry as the menu shows it: at most 30 characters, the file name kept whole.
QString CMainFrame::shortenedRecent(const QString& path) {
    if (path.size() <= kRecentDisplayChars) return path;
    const QString name = QFileInfo(path).fileName();
    if (name.size() + 4 >= kRecentDisplayChars) return name.left(kRecentDisplayChars);
    return path.left(kRecentDisplayChars - name.size() - 4) + ".../" + name;
}

namespace {

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
    // Clicking a window brings its view mode with it, and the Edit menu follows the ladder.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (!w || !state_.isProjectOpen()) return;
        if (w == plcFrame_) state_.viewMode = ViewMode::Ladder;
        else if (w == paramFrame_) state_.viewMode = ViewMode::Parameters;
        updateCommands();
    });

    tree_ = new WorkspaceTree(this);
    dock_ = new QDockWidget(ui_text::kWorkspaceTitle, this);
    dock_->setObjectName("workspaceDock");
    dock_->setWidget(tree_);
    addDockWidget(Qt::LeftDockWidgetArea, dock_);
    connect(tree_, &WorkspaceTree::numberActivated, this, &CMainFrame::activateTreeNumber);

    panes_ = std::make_unique<StatusPanes>(statusBar());
    autoRefreshPane_ = new QLabel(ui_text::kAutoRefreshPane, this);
    autoRefreshPane_->setObjectName("autoRefreshPane");
    autoRefreshPane_->setStyleSheet("QLabel { font-weight: bold; padding: 0 6px; }");
    statusBar()->addPermanentWidget(autoRefreshPane_);
    autoRefreshPane_->hide();
    connect(&autoRefreshTimer_, &QTimer::timeout, this, [this] { autoRefreshTick(); });
    monitors_ = new MonitorWindows(*this, this);
    plcRun_ = std::make_unique<PlcRunControl>(*this);
    createActions();
    action(CommandId::LadderView)->setIcon(LadderIcon());
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
    updateCommands();
}

CMainFrame::~CMainFrame() {
    // The bars report their hiding while the window is torn down, after the command table.
    dock_->disconnect(this);
    toolbar_->disconnect(this);
    delete monitors_;
    link_.waitIdle();
}

Prompts& CMainFrame::monitorPrompts() {
    return *prompts_;
}

void CMainFrame::setGraphChannels(const std::array<GraphChannel, kGraphChannels>& channels) {
    if (state_.graphChannels == channels) return;
    state_.graphChannels = channels;
    if (auto* doc = document()) {
        doc->modified = true;
        updateTitle();
    }
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

QWidget* CMainFrame::printParent() {
    return this;
}

PrintableView* CMainFrame::activePrintable() {
    if (!document()) return nullptr;
    if (compareWindow_ && (printCompare_ || compareWindow_->isActiveWindow()))
        return dynamic_cast<PrintableView*>(compareWindow_.data());
    return dynamic_cast<PrintableView*>(mdi_->activeSubWindow() ? mdi_->activeSubWindow()
                                                                 : paramFrame_);
}

QString CMainFrame::suggestedPdfPath(const QString& title) {
    // The printout goes beside its project unless the user picks another place.
    const QString project = q(state_.projectPath);
    if (project.isEmpty()) return lastFolder() + "/" + title + ".pdf";
    const QFileInfo info(project);
    return info.absoluteDir().filePath(info.completeBaseName() + ".pdf");
}

void CMainFrame::printFailed(const QString& text) {
    prompts_->message(text.toStdString());
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

void CMainFrame::showLadder() {
    if (!state_.isProjectOpen() || !plcFrame_) return;
    state_.viewMode = ViewMode::Ladder;
    plcFrame_->showMaximized();
    mdi_->setActiveSubWindow(plcFrame_);
    plcFrame_->view()->setFocus();
    updateCommands();
}

CPlcView* CMainFrame::activeLadder() {
    if (!plcFrame_ || !state_.isProjectOpen() || state_.viewMode != ViewMode::Ladder)
        return nullptr;
    return plcFrame_->view();
}

Prompts& CMainFrame::ladderPrompts() {
    return *prompts_;
}

void CMainFrame::activateTreeNumber(int number) {
    if (!state_.isProjectOpen()) return;
    if (number == WorkspaceTree::kPlc) {
        showLadder();
        return;
    }
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
    // An open graph shows the new project's channels.
    if (auto* graph = monitors_->graph()) graph->applyChannels(state_.graphChannels);
    if (!paramFrame_) {
        paramFrame_ = new CParameterFrame;
        mdi_->addSubWindow(paramFrame_);
        connect(paramFrame_, &CChildFrame::closeRequested, this, [this] { closeProjectAsked(); });
        paramFrame_->setPrintHeader([this] { return printHeader(); });
        connect(paramFrame_->view(), &CParameterView::parameterActivated, this,
                [this](int group, int position) { openGroupDialog(group, position); });
    }
    const bool ladderFirst = state_.viewMode == ViewMode::Ladder;
    if (!plcFrame_) {
        plcFrame_ = new CPlcFrame(*prompts_);
        mdi_->addSubWindow(plcFrame_);
        connect(plcFrame_, &CChildFrame::closeRequested, this, [this] { closeProjectAsked(); });
        connect(plcFrame_->view(), &CPlcView::stateChanged, this, [this] {
            updateTitle();
            updateCommands();
        });
    }
    plcFrame_->view()->setDocument(document());
    plcFrame_->view()->editor()->setClipboard(ladderClipboard_);
    paramFrame_->view()->setDocument(document());
    paramFrame_->view()->Fill(state_.selectedGroup);
    plcFrame_->showMaximized();
    paramFrame_->showMaximized();
    mdi_->setActiveSubWindow(paramFrame_);
    state_.viewMode = ViewMode::Parameters;
    // A project made for the ladder ("PLC Ladder" in Model Select) opens with the ladder in front.
    if (ladderFirst) showLadder();
    rebuildMenus();
    showStatusTexts();
    updateTitle();
}

ParamPrintHeader CMainFrame::printHeader() {
    ParamPrintHeader h;
    if (!state_.projectPath.empty()) h.project = QFileInfo(q(state_.projectPath)).fileName();
    h.model = q(state_.modelName);
    // The drive a printout speaks of: the one linked, else the one last read, by its version.
    if (drive_.state.linked) {
        h.version = q(state_.status.version);
        h.station = q(state_.status.station);
    } else if (const CM240Doc* doc = document();
               doc && doc->driveSoftwareVersion > 0 && hasReadValues(doc->table)) {
        h.version = QString::number(doc->driveSoftwareVersion, 'f', 2);
    }
    h.date = QDate::currentDate().toString(Qt::ISODate);
    return h;
}

void CMainFrame::closeProjectWindows() {
    plcRun_->quit();
    if (plcFrame_) {
        if (const LadderEditor* e = plcFrame_->view()->editor()) ladderClipboard_ = e->clipboard();
        plcFrame_->view()->setDocument(nullptr);
        plcFrame_->closeForGood();
        mdi_->removeSubWindow(plcFrame_);
        plcFrame_->deleteLater();
        plcFrame_ = nullptr;
    }
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
    plcRun_->quit();
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
    if (!h.problem.empty()) prompts_->message(h.problem);
    if (h.mode == 1 && !h.projectPath.empty()) openPath(q(h.projectPath));
    if (h.mode == 2) linkFromHandOver(h);
}

}  // namespace pv::ui
