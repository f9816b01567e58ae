#include "plc/ui/PlcCommands.h"

#include <QPainter>
#include <QPixmap>
#include <fstream>
#include <sstream>

#include "plc/ProgramText.h"
#include "plc/ui/CPlcView.h"
#include "project/CM240Doc.h"
#include "res/PlcRunTexts.h"
#include "res/PlcTexts.h"
#include "res/ProjectTexts.h"

namespace pv::ui {

void RegisterPlcCommands(CommandTable& table, PlcCommandTarget& t) {
    auto ladder = [&t] { return t.activeLadder(); };
    auto editable = [ladder] {
        CPlcView* v = ladder();
        return v && v->editor() && v->editor()->editable();
    };

    Command c{CommandId::Undo, text::kCmdUndo, QKeySequence::Undo};
    c.menu = Menu::Edit, c.menuOrder = 10, c.projectOnly = true;
    c.run = [ladder] {
        if (auto* v = ladder()) v->undo();
    };
    c.enabled = [ladder, editable] { return editable() && ladder()->editor()->canUndo(); };
    table.add(c);

    c = {CommandId::Redo, text::kCmdRedo, QKeySequence("Ctrl+Y")};
    c.menu = Menu::Edit, c.menuOrder = 11, c.projectOnly = true;
    c.run = [ladder] {
        if (auto* v = ladder()) v->redo();
    };
    c.enabled = [ladder, editable] { return editable() && ladder()->editor()->canRedo(); };
    table.add(c);

    c = {CommandId::Cut, text::kCmdCut, QKeySequence::Cut};
    c.styleIcon = QStyle::SP_DialogDiscardButton;
    c.menu = Menu::Edit, c.menuOrder = 20, c.projectOnly = true;
    c.run = [ladder] {
        if (auto* v = ladder()) v->cut();
    };
    c.enabled = editable;
    table.add(c);

    c = {CommandId::Copy, text::kCmdCopy, QKeySequence::Copy};
    c.menu = Menu::Edit, c.menuOrder = 21, c.projectOnly = true;
    c.run = [ladder] {
        if (auto* v = ladder()) v->copy();
    };
    c.enabled = [ladder] { return ladder() != nullptr; };
    table.add(c);

    c = {CommandId::Paste, text::kCmdPaste, QKeySequence::Paste};
    c.menu = Menu::Edit, c.menuOrder = 22, c.projectOnly = true;
    c.run = [ladder] {
        if (auto* v = ladder()) v->paste();
    };
    c.enabled = [ladder, editable] {
        return editable() && !ladder()->editor()->clipboard().empty();
    };
    table.add(c);

    c = {CommandId::ClearComments, text::kCmdClearComments};
    c.menu = Menu::Edit, c.menuOrder = 30, c.projectOnly = true;
    c.run = [ladder] {
        if (auto* v = ladder()) v->clearComments();
    };
    c.enabled = editable;
    table.add(c);

    c = {CommandId::Symbol, text::kCmdSymbol, {}, text::kTipSymbol};
    c.menu = Menu::Edit, c.menuOrder = 31, c.projectOnly = true;
    c.run = [ladder] {
        if (auto* v = ladder()) v->editSymbols();
    };
    c.enabled = [ladder] { return ladder() != nullptr; };
    table.add(c);

    c = {CommandId::Find, text::kCmdFind, QKeySequence::Find};
    c.menu = Menu::Edit, c.menuOrder = 40, c.projectOnly = true;
    c.run = [ladder] { if (auto* v = ladder()) v->find(); };
    c.enabled = [ladder] { return ladder() != nullptr; };
    table.add(c);

    c = {CommandId::FindNext, text::kCmdFindNext, QKeySequence(Qt::Key_F3)};
    c.menu = Menu::Edit, c.menuOrder = 41, c.projectOnly = true;
    c.run = [ladder] { if (auto* v = ladder()) v->findNext(); };
    c.enabled = [ladder] { return ladder() != nullptr; };
    table.add(c);

    c = {CommandId::Replace, text::kCmdReplace, QKeySequence("Ctrl+H")};
    c.menu = Menu::Edit, c.menuOrder = 42, c.projectOnly = true;
    c.run = [ladder] { if (auto* v = ladder()) v->replace(); };
    c.enabled = editable;
    table.add(c);

    c = {CommandId::LadderView, text::kCmdLadderView, {}, text::kTipLadder};
    c.styleIcon = QStyle::SP_FileDialogDetailedView;
    c.menu = Menu::View, c.menuOrder = 21, c.toolbarOrder = 31;
    c.run = [&t] { t.showLadder(); };
    c.enabled = [&t] { return t.projectOpen(); };
    table.add(c);

    c = {CommandId::ExportLadderText, text::kCmdExportLadderText};
    c.menu = Menu::File, c.menuOrder = 25, c.projectOnly = true;
    c.run = [&t, ladder] {
        t.showLadder();
        if (auto* v = ladder()) ExportLadderText(*v, t.ladderPrompts());
    };
    c.enabled = [&t] { return t.projectOpen(); };
    table.add(c);

    c = {CommandId::ImportLadderText, text::kCmdImportLadderText};
    c.menu = Menu::File, c.menuOrder = 26, c.projectOnly = true;
    c.run = [&t, ladder] {
        t.showLadder();
        if (auto* v = ladder()) ImportLadderText(*v, t.ladderPrompts());
    };
    c.enabled = [&t] { return t.projectOpen(); };
    table.add(c);
}

QIcon LadderIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.scale(size / 32.0, size / 32.0);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(30, 30, 30), 2.5));
        p.drawLine(3, 4, 3, 28);
        p.drawLine(29, 4, 29, 28);
        p.drawLine(3, 16, 10, 16);
        p.drawLine(10, 9, 10, 23);
        p.drawLine(15, 9, 15, 23);
        p.drawLine(15, 16, 19, 16);
        p.setPen(QPen(QColor(20, 80, 200), 2.5));
        p.drawArc(QRectF(19, 10, 8, 12), 90 * 16, 180 * 16);
        p.drawArc(QRectF(21, 10, 8, 12), -90 * 16, 180 * 16);
        icon.addPixmap(pm);
    }
    return icon;
}

bool ExportLadderText(CPlcView& view, Prompts& prompts) {
    if (!view.editor()) return false;
    const auto path = prompts.chooseFile(
        {FileDialog::Save, text::kExportLadderCaption, text::kLadderTextFilter, "ladder.txt"});
    if (!path) return false;
    std::ofstream out(*path, std::ios::binary | std::ios::trunc);
    out << ProgramToText(view.editor()->program());
    out.close();
    if (!out) {
        prompts.message(text::kCannotSaveFile);
        return false;
    }
    return true;
}

bool ImportLadderText(CPlcView& view, Prompts& prompts) {
    if (!view.editor() || !view.editor()->editable()) return false;
    const auto path = prompts.chooseFile(
        {FileDialog::Open, text::kImportLadderCaption, text::kLadderTextFilter, {}});
    if (!path) return false;
    std::ifstream in(*path, std::ios::binary);
    if (!in) {
        prompts.message(text::kCannotOpenFile);
        return false;
    }
    std::stringstream s;
    s << in.rdbuf();
    std::string error;
    if (!view.importText(s.str(), error)) {
        prompts.error(error);
        return false;
    }
    return true;
}

}  // namespace pv::ui
