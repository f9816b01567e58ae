#include "widgets/CommandTable.h"

#include <algorithm>
#include <stdexcept>

namespace pv::ui {

void CommandTable::add(Command c) {
    // Two registrations of one id would leave one of them unreachable from the menus.
    if (find(c.id)) throw std::logic_error("command registered twice: " + c.text.toStdString());
    commands_.push_back(std::move(c));
}

const Command* CommandTable::find(CommandId id) const {
    for (const auto& c : commands_)
        if (c.id == id) return &c;
    return nullptr;
}

std::vector<const Command*> CommandTable::menu(Menu m) const {
    std::vector<const Command*> out;
    for (const auto& c : commands_)
        if (c.menu == m) out.push_back(&c);
    std::stable_sort(out.begin(), out.end(),
                     [](const Command* a, const Command* b) { return a->menuOrder < b->menuOrder; });
    return out;
}

std::vector<const Command*> CommandTable::toolbar() const {
    std::vector<const Command*> out;
    for (const auto& c : commands_)
        if (c.toolbarOrder > 0) out.push_back(&c);
    std::stable_sort(out.begin(), out.end(), [](const Command* a, const Command* b) {
        return a->toolbarOrder < b->toolbarOrder;
    });
    return out;
}

bool CommandTable::run(CommandId id) const {
    const Command* c = find(id);
    if (!c || !c->run || (c->enabled && !c->enabled())) return false;
    c->run();
    return true;
}

}  // namespace pv::ui
