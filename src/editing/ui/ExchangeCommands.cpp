#include "editing/ui/ExchangeCommands.h"

#include "editing/ParamExchange.h"
#include "editing/ui/ExchangeFormatDialog.h"
#include "res/ExchangeTexts.h"
#include "widgets/QtPrompts.h"

namespace pv::ui {

void RegisterExchangeCommands(CommandTable& table, ExchangeHost host) {
    auto enabled = [host] { return host.document() != nullptr && host.available(); };

    Command import{CommandId::ImportParameters, text::kCmdImport, QKeySequence("Ctrl+I"),
                   text::kTipImport};
    import.menu = Menu::File, import.menuOrder = 16, import.projectOnly = true;
    import.enabled = enabled;
    import.run = [host] {
        CM240Doc* doc = host.document();
        if (!doc) return;
        ImportParameters(*doc, host.prompts(), host.displaySettings());
        host.imported();
    };
    table.add(import);

    Command exportCmd{CommandId::ExportParameters, text::kCmdExport, QKeySequence("Ctrl+E"),
                      text::kTipExport};
    exportCmd.menu = Menu::File, exportCmd.menuOrder = 17, exportCmd.projectOnly = true;
    exportCmd.enabled = enabled;
    exportCmd.run = [host] {
        CM240Doc* doc = host.document();
        if (!doc) return;
        ExchangeFormatDialog dialog(host.window());
        if (host.prompts().exec(dialog) != QDialog::Accepted) return;
        dialog.remember();
        ExportParameters(*doc, host.modelName(), dialog.format(), host.prompts());
    };
    table.add(exportCmd);
}

}  // namespace pv::ui
