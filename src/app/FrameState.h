#pragma once
// What the main frame holds for the active project, without any window: model, voltage class,
// graph channels, project path, the cached drive-setting flags the editors and transfers read,
// and the status-bar texts. The Qt main window and parvolt-cli both keep one.

#include <array>
#include <cstdint>
#include <string>

#include "comm/ProjectFacts.h"
#include "project/ParamTable.h"
#include "project/ProjectFrameItems.h"

namespace pv {

enum class ViewMode { None = -1, Parameters = 0, Ladder = 1 };

// The texts of the six status-bar panes (the captions are the window's business).
struct StatusTexts {
    std::string fileName;   // pane 0: file title or "New File"
    std::string version;    // pane 1: drive version
    std::string plcStatus;  // pane 2: "STOP" or the PLC state
    std::string link;       // pane 3: "Online" / "Unlink"
    std::string model;      // pane 4: model name
    std::string station;    // pane 5: station number
    bool operator==(const StatusTexts&) const = default;
};

struct FrameState : ProjectFrameItems {
    int32_t projectOpen = -1;  // -1 none, 1 open
    ViewMode viewMode = ViewMode::None;
    int voltageClass = 0;    // 2 (200 V class) or 4 (400 V class); 0 before any model
    int selectedGroup = -1;  // parameter list: -1 = all groups

    // Cached drive settings.
    int32_t highFrequencyMode = 0;  // 01-01 set value x 10 > 3000
    int32_t setting2320 = 0;        // 23-20
    int32_t pidDecimals = 0;        // 10-34
    int32_t setting0330 = 0;        // 03-30
    int32_t limitsInHertz = 0;      // 00-63
    int32_t largeFrame = 0;         // model is not one of the frame-1 models

    // Whether auto refresh runs: the one flag, set and read on the window's thread only.
    int32_t autoRefreshRunning = 0;
    int32_t connected = 0;
    // Set at start and by every Connect, cleared by a Write of the PLC program: whether the
    // drive's program may be another project's (a Read of it then drops our comments).
    int32_t plcProgramForeign = 1;

    StatusTexts status;

    // Sets model code, name, voltage class and the large-frame flag.
    void setModel(uint32_t code, const std::string& name);
    // The facts a transfer works with, as they are now.
    comm::ProjectFacts projectFacts() const;
    // Reads the cached settings from the table's set values (atoi; 01-01 as a decimal number).
    // includeHighFrequency: Open refreshes the 01-01 flag too, New only the integers.
    void refreshCachedSettings(const ParamTable& table, bool includeHighFrequency);
    // Status texts of a project just opened or created; fileTitle empty = "New File".
    void setProjectStatus(const std::string& fileTitle);
    // Forget the project (after its windows closed): project flag, view mode, path.
    void closeProject();
    bool isProjectOpen() const { return projectOpen == 1; }
};

// The file title shown for a path: its last component.
std::string FileTitleOf(const std::string& path);

}  // namespace pv
