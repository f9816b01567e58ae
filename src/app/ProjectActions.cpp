#include "app/ProjectActions.h"

#include <cstdio>

#include "plc/PlcSearch.h"
#include "project/ModelTable.h"
#include "res/ProjectTexts.h"

namespace pv {

ProjectSession::ProjectSession(FrameState& frame, Prompts& prompts, std::string dataDir)
    : frame_(frame), prompts_(prompts), dataDir_(std::move(dataDir)) {}

bool ProjectSession::prepareReplace(const std::string& question) {
    if (frame_.autoRefreshRunning) {
        prompts_.message(text::kAutoRefreshRunning);
        return false;
    }
    return letGo(question);
}

bool ProjectSession::letGo(const std::string& question) {
    if (!frame_.isProjectOpen() || !doc_) return true;
    if (hooks.stopActivity) hooks.stopActivity();
    if (doc_->modified) {
        switch (prompts_.yesNoCancel(question)) {
            case YesNoCancel::Yes:
                if (!save()) return false;
                break;
            case YesNoCancel::Cancel:
                return false;
            case YesNoCancel::No:
                break;
        }
    }
    return true;
}

bool ProjectSession::open(OpenKind kind, const std::string& path) {
    const std::string question =
        kind == OpenKind::Command ? text::kModifiedSaveQuestion : text::kSaveFileQuestion;
    if (!prepareReplace(question)) return false;

    std::string file = path;
    if (kind == OpenKind::Command) {
        if (!hooks.askOpenPath) return false;
        const auto chosen = hooks.askOpenPath();
        if (!chosen) return false;
        file = *chosen;
    }

    // The file is read into a new document before the open project goes away, so a file that
    // cannot be read leaves the open project as it was.
    auto doc = std::make_unique<CM240Doc>(dataDir_);
    ProjectFrameItems items = frame_;
    if (!doc->LoadProject(file, items)) {
        prompts_.message(doc->lastError);
        return false;
    }

    if (frame_.isProjectOpen() && hooks.closeWindows) hooks.closeWindows();
    frame_.closeProject();
    doc_ = std::move(doc);
    frame_.setModel(items.modelCode, items.modelName);
    frame_.graphChannels = items.graphChannels;
    frame_.projectPath = file;
    // Defaults follow the model; the set values stay those of the file.
    doc_->ApplyModelDefaultsFile(frame_.modelCode, false);
    frame_.refreshCachedSettings(doc_->table, true);
    frame_.projectOpen = 1;
    frame_.viewMode = ViewMode::Parameters;
    frame_.setProjectStatus(FileTitleOf(file));
    if (hooks.addRecentFile) hooks.addRecentFile(file);
    if (hooks.projectShown) hooks.projectShown();
    return true;
}

bool ProjectSession::newProject(const std::string& modelName, int programChoice) {
    if (!prepareReplace(text::kModifiedSaveQuestion)) return false;
    frame_.highFrequencyMode = 0;
    const ModelInfo* model = FindModelByName(modelName);
    if (!model) return false;

    auto doc = std::make_unique<CM240Doc>(dataDir_);
    doc->OnNewDocument();
    doc->ApplyModelDefaultsFile(model->code, true);

    if (frame_.isProjectOpen() && hooks.closeWindows) hooks.closeWindows();
    frame_.closeProject();
    doc_ = std::move(doc);
    frame_.setModel(model->code, std::string(model->name));
    frame_.graphChannels = ProjectFrameItems{}.graphChannels;
    frame_.refreshCachedSettings(doc_->table, false);
    frame_.projectOpen = 1;
    frame_.viewMode = programChoice == 1 ? ViewMode::Ladder : ViewMode::Parameters;
    frame_.setProjectStatus({});
    if (hooks.projectShown) hooks.projectShown();
    return true;
}

bool ProjectSession::saveTo(const std::string& path) {
    if (!doc_->SaveProject(path, frame_)) {
        prompts_.message(doc_->lastError);
        return false;
    }
    frame_.projectPath = path;
    frame_.status.fileName = FileTitleOf(path);
    if (hooks.addRecentFile) hooks.addRecentFile(path);
    return true;
}

bool ProjectSession::ladderCheckPasses() {
    if (hooks.checkLadder) return hooks.checkLadder(*doc_);
    return plc::CoilsUsedOnce(doc_->plc, prompts_);
}

bool ProjectSession::save() {
    if (!doc_) return false;
    if (!ladderCheckPasses()) return false;
    std::string path = frame_.projectPath;
    if (path.empty()) {
        if (!hooks.askSavePath) return false;
        const auto chosen = hooks.askSavePath();
        if (!chosen) return false;
        path = *chosen;
    }
    if (!saveTo(path)) {
        frame_.projectPath.clear();
        return false;
    }
    doc_->modified = false;
    return true;
}

bool ProjectSession::saveAs() {
    if (!doc_ || !hooks.askSavePath) return false;
    const auto chosen = hooks.askSavePath();
    if (!chosen) return false;
    return saveAs(*chosen);
}

bool ProjectSession::saveAs(const std::string& path) {
    if (!doc_) return false;
    const std::string previous = frame_.projectPath;
    if (!saveTo(path)) {
        frame_.projectPath = previous;
        return false;
    }
    // Everything is on disk now: closing must not ask to save it again.
    doc_->modified = false;
    return true;
}

bool ProjectSession::close(const std::string& question) {
    if (!frame_.isProjectOpen() || !doc_) return true;
    if (!letGo(question)) return false;
    if (hooks.closeWindows) hooks.closeWindows();
    frame_.closeProject();
    doc_.reset();
    return true;
}

}  // namespace pv
