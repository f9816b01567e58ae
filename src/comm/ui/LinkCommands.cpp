#include "comm/ui/LinkCommands.h"

#include "res/UiTexts.h"

namespace pv::ui {

void RegisterLinkCommands(CommandTable& table, LinkCommandTarget& t) {
    using namespace ui_text;
    auto project = [&t] { return t.projectOpen(); };
    auto transfer = [&t] { return t.projectOpen() && t.transferAllowed(); };

    Command connect{CommandId::Connect, kCmdConnect, QKeySequence("Ctrl+Shift+C"), kTipConnect};
    connect.styleIcon = QStyle::SP_DriveNetIcon;
    connect.menu = Menu::Operation;
    connect.menuOrder = 10;
    connect.toolbarOrder = 20;
    connect.run = [&t] { t.onConnect(); };
    table.add(connect);

    Command read{CommandId::Read, kCmdRead, QKeySequence("Ctrl+Shift+R"), kTipRead};
    read.styleIcon = QStyle::SP_ArrowUp;
    read.menu = Menu::Operation;
    read.menuOrder = 11;
    read.toolbarOrder = 21;
    read.run = [&t] { t.onRead(); };
    read.enabled = transfer;
    table.add(read);

    Command write{CommandId::Write, kCmdWrite, QKeySequence("Ctrl+Shift+W"), kTipWrite};
    write.styleIcon = QStyle::SP_ArrowDown;
    write.menu = Menu::Operation;
    write.menuOrder = 12;
    write.projectOnly = true;
    write.toolbarOrder = 22;
    write.run = [&t] { t.onWrite(); };
    write.enabled = transfer;
    table.add(write);

    Command refresh{CommandId::AutoRefresh, kCmdAutoRefresh, QKeySequence(Qt::Key_F5), kTipRefresh};
    refresh.styleIcon = QStyle::SP_BrowserReload;
    refresh.menu = Menu::Operation;
    refresh.menuOrder = 20;
    refresh.projectOnly = true;
    refresh.toolbarOrder = 23;
    refresh.checkable = true;
    refresh.run = [&t] { t.onAutoRefresh(); };
    refresh.enabled = transfer;
    refresh.checked = [&t] { return t.autoRefreshRunning(); };
    table.add(refresh);

    Command take{CommandId::TakeReadValues, kCmdTakeReadValues};
    take.menu = Menu::Operation;
    take.menuOrder = 21;
    take.projectOnly = true;
    take.run = [&t] { t.onTakeReadValues(); };
    take.enabled = project;
    table.add(take);

    struct Password {
        CommandId id;
        const char* text;
        bool plc;
        bool set;
    };
    const Password passwords[] = {
        {CommandId::ParamPasswordSet, kCmdParamPasswordSet, false, true},
        {CommandId::ParamPasswordRemove, kCmdParamPasswordRemove, false, false},
        {CommandId::PlcPasswordSet, kCmdPlcPasswordSet, true, true},
        {CommandId::PlcPasswordRemove, kCmdPlcPasswordRemove, true, false},
    };
    int order = 30;
    for (const auto& p : passwords) {
        Command c{p.id, p.text};
        c.menu = Menu::Operation;
        c.menuOrder = order++;
        c.projectOnly = true;
        c.run = [&t, plc = p.plc, set = p.set] { t.onPassword(plc, set); };
        c.enabled = transfer;
        table.add(c);
    }
}

}  // namespace pv::ui
