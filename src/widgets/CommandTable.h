#pragma once
// The main window's commands, registered once by the subsystem that owns each: id, text,
// shortcut, icon, place in the menus and on the toolbar, what it does and when it is enabled.
// The main window builds its menus, toolbar and enabling from this table alone, so a new window
// adds its commands with one registration in its own folder.

#include <QIcon>
#include <QKeySequence>
#include <QString>
#include <QStyle>
#include <functional>
#include <vector>

#include "widgets/CommandIds.h"

namespace pv::ui {

// The menus in the order the menu bar shows them.
enum class Menu { None, File, Edit, View, Operation, Window, Help };

struct Command {
    Command(CommandId commandId, QString commandText, QKeySequence key = {}, QString tipText = {})
        : id(commandId), text(std::move(commandText)), shortcut(std::move(key)),
          tip(std::move(tipText)) {}

    CommandId id{};
    QString text;
    QKeySequence shortcut;
    QString tip;  // tooltip and status tip
    // Icon from the desktop theme when it has one, else the style's standard pixmap.
    QString themeIcon;
    QStyle::StandardPixmap styleIcon = QStyle::SP_CustomBase;  // SP_CustomBase: no icon
    Menu menu = Menu::None;
    // Place within the menu; a separator falls between different tens (10..19, 20..29, ...).
    int menuOrder = 0;
    // In the menu only while a project is open (the short menus of an empty window).
    bool projectOnly = false;
    // Place on the toolbar, 0 for none; separators between different tens as in menus.
    int toolbarOrder = 0;
    bool checkable = false;
    std::function<void()> run;
    std::function<bool()> enabled;  // empty: always enabled
    std::function<bool()> checked;  // for checkable commands; empty: the action keeps its mark
};

class CommandTable {
public:
    void add(Command c);
    const std::vector<Command>& commands() const { return commands_; }
    const Command* find(CommandId id) const;
    // The commands of one menu, or of the toolbar, in their order.
    std::vector<const Command*> menu(Menu m) const;
    std::vector<const Command*> toolbar() const;
    // Runs a command's handler; false when there is no such command or it is disabled.
    bool run(CommandId id) const;

private:
    std::vector<Command> commands_;
};

}  // namespace pv::ui
