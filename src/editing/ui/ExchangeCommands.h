#pragma once
// The parameter view's Import and Export commands. The main window supplies the project and
// redraws after an import; the workflows themselves are the core's (editing/ParamExchange.h).

#include <functional>
#include <string>

#include "project/CM240Doc.h"
#include "project/ParamAttr.h"
#include "widgets/CommandTable.h"

class QWidget;

namespace pv::ui {

class QtPrompts;

struct ExchangeHost {
    std::function<QWidget*()> window;
    std::function<QtPrompts&()> prompts;
    std::function<CM240Doc*()> document;  // nullptr without a project
    std::function<std::string()> modelName;
    std::function<ParamDisplaySettings()> displaySettings;
    // After an import, whether complete or stopped: redraw the list, the title's modified mark.
    std::function<void()> imported;
    // False while something else works on the project (a transfer).
    std::function<bool()> available;
};

void RegisterExchangeCommands(CommandTable& table, ExchangeHost host);

}  // namespace pv::ui
