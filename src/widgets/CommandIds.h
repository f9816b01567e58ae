#pragma once
// Command identifiers of the main frame's menus and toolbar. The numbers are the drive tool's
// traditional ones so that documentation and settings files line up; commands that only this
// program has sit above 33000.

namespace pv::ui {

enum class CommandId : int {
    New = 57600,
    Open = 57601,
    Save = 32807,
    SaveAs = 32808,
    Print = 57607,
    PrintPreview = 57609,
    PrintSetup = 57606,
    RecentFirst = 57616,  // eight entries: 57616..57623
    RecentLast = 57623,
    Exit = 57665,
    Connect = 32772,
    Read = 32773,
    Write = 32774,
    ImportParameters = 32824,
    ExportParameters = 32825,
    AutoRefresh = 32830,
    ParamPasswordSet = 32844,
    ParamPasswordRemove = 32845,
    PlcPasswordSet = 32846,
    PlcPasswordRemove = 32847,
    ParameterView = 32787,
    LadderView = 32786,
    Undo = 57643,
    Redo = 57644,
    Cut = 57635,
    Copy = 57634,
    Paste = 57637,
    ClearComments = 32804,
    Symbol = 32805,
    MonitorStatus = 32775,
    MonitorControl = 32778,
    Keypad = 32811,
    GraphMonitor = 32812,
    WorkspaceShow = 32843,
    Help = 32795,
    About = 57664,
    // This program's own commands.
    ExportPdf = 33001,
    TakeReadValues = 33002,
    ToolbarShow = 33003,
    StatusBarShow = 33004,
    Cascade = 33005,
    Tile = 33006,
    ExportLadderText = 33010,
    ImportLadderText = 33011,
    CopyModuleWrite = 33020,
    CopyModuleRead = 33021,
    CopyModulePort = 33022,
    CopyModuleCompare = 33023,
};

}  // namespace pv::ui
