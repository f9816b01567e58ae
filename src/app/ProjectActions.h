#pragma once
// The New, Open, Save and Save As commands of the main frame, without windows: every question
// goes through Prompts, the parts that need a window (file dialogs, the model dialog, closing the
// project's windows, stopping monitors) come in as hooks. The desktop program and parvolt-cli
// run the same steps.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/FrameState.h"
#include "project/CM240Doc.h"
#include "res/Prompts.h"

namespace pv {

struct ProjectHooks {
    // Stops ladder monitoring/simulation and any running monitor loop before the project closes.
    std::function<void()> stopActivity;
    // Closes the windows of the open project.
    std::function<void()> closeWindows;
    // The Open command's file dialog ("nf3" filter); nullopt when cancelled.
    std::function<std::optional<std::string>()> askOpenPath;
    // Save As dialog; nullopt when cancelled.
    std::function<std::optional<std::string>()> askSavePath;
    // Replaces the ladder check that Save runs first; false when it reported an error (nothing
    // is saved). Without it Save runs the program's double-coil check and shows its "Error".
    std::function<bool(CM240Doc&)> checkLadder;
    // Recent-file list and window title after a successful open or save.
    std::function<void(const std::string& path)> addRecentFile;
    // The project's windows after New/Open (rebuild workspace tree, open the chosen view).
    std::function<void()> projectShown;
};

enum class OpenKind {
    Command,    // the Open command: "The file has been modified,save it or not?", file dialog
    GivenPath,  // recent file, drop, command line, hand-over file: "Save file?"
};

class ProjectSession {
public:
    ProjectSession(FrameState& frame, Prompts& prompts, std::string dataDir);

    FrameState& frame() { return frame_; }
    CM240Doc* document() { return doc_.get(); }
    ProjectHooks hooks;

    // Open: path is used for OpenKind::GivenPath; the Open command asks hooks.askOpenPath.
    bool open(OpenKind kind, const std::string& path = {});
    // New for a model name from the "Model Select" dialog; programChoice 0 parameters, 1 ladder.
    bool newProject(const std::string& modelName, int programChoice = 0);
    // Save / Save As.
    bool save();
    bool saveAs();
    bool saveAs(const std::string& path);
    // Closes the open project after the save question; false when the user cancelled or the
    // save failed.
    bool close(const std::string& question);

private:
    bool prepareReplace(const std::string& question);
    // Stops what works on the open project and settles its unsaved changes with `question`;
    // false when the user cancelled or the save failed. True at once without a project.
    bool letGo(const std::string& question);
    bool saveTo(const std::string& path);
    // The check for coils used twice that Save runs before anything else; false after it showed
    // its error.
    bool ladderCheckPasses();

    FrameState& frame_;
    Prompts& prompts_;
    std::string dataDir_;
    std::unique_ptr<CM240Doc> doc_;
};

}  // namespace pv
