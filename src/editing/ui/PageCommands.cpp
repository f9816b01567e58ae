#include "editing/ui/PageCommands.h"

#include "res/EditingTexts.h"

namespace pv::ui {

void RegisterPageCommands(CommandTable& table, PageCommandTarget& t) {
    auto allowed = [&t] { return t.pagesAllowed(); };

    Command compare{CommandId::Compare, res::kCmdCompare, QKeySequence("Ctrl+Shift+D"),
                    res::kTipCompare};
    compare.styleIcon = QStyle::SP_FileDialogContentsView;
    compare.menu = Menu::Operation;
    compare.menuOrder = 13;
    compare.projectOnly = true;
    compare.toolbarOrder = 24;
    compare.run = [&t] { t.onCompare(); };
    compare.enabled = allowed;
    table.add(compare);

    Command user{CommandId::UserParameter, res::kCmdUserParameter, QKeySequence("Ctrl+U")};
    user.menu = Menu::View;
    user.menuOrder = 22;
    user.run = [&t] { t.onUserParameter(); };
    user.enabled = allowed;
    table.add(user);
}

}  // namespace pv::ui
