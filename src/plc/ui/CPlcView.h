#pragma once
// The ladder editor view: draws the document's ladder program with QPainter (line numbers, the
// three contact cells with their gaps and vertical links, the coil column, comment lines), one
// display line per 62 logical units, scaled by the zoom and painting only the lines in sight.
// Keys, clicks and the context menu go to the editor model; the view only shows its state.

#include <QAbstractScrollArea>
#include <memory>

#include "plc/LadderEditor.h"
#include "plc/ui/LadderDialogs.h"

class QLabel;

namespace pv {
class CM240Doc;
class Prompts;
}  // namespace pv

namespace pv::ui {

class CPlcView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Logical geometry of a display line.
    static constexpr int kLineHeight = 62;
    static constexpr int kTop = 20;

    CPlcView(Prompts& prompts, QWidget* parent = nullptr);
    ~CPlcView() override;

    void setDocument(CM240Doc* doc);
    CM240Doc* document() const { return doc_; }
    LadderEditor* editor() const { return editor_.get(); }
    QtLadderDialogs& dialogs() { return dialogs_; }

    // Commands of the window (menus, toolbar, context menu).
    void runTool(Tool t);
    void selectTool(Tool t);  // the ladder toolbar: each click applies it until Esc
    Tool clickTool() const { return clickTool_; }
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void markStart();
    void markEnd();
    void clearComments();
    void editSymbols();
    // Replaces the program from text (Import); false with `error` set when the text is refused.
    bool importText(const std::string& text, std::string& error);

    double zoom() const { return zoom_; }
    void setZoom(double z);
    SymbolDisplay symbolDisplay() const { return display_; }
    bool symbolsShown() const { return symbolsEnabled_; }
    void setSymbolDisplay(SymbolDisplay d, bool enabled);
    void setMode(PlcMode m);
    QString headerText() const;
    // Display line under a point of the viewport, -1 for none; the cursor position it hits.
    int lineAt(QPoint p) const;
    int positionAt(QPoint p) const;
    // Paints lines first..last (for the benchmark: the whole visible window).
    void paintLines(QPainter& painter, int first, int last);

signals:
    // The program changed (the document is marked modified first).
    void programChanged();
    // Undo/redo availability or the marks changed: the window's commands re-enable.
    void stateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    double scale() const;
    void updateScrollBars();
    void ensureCursorVisible();
    void changed(bool programChanged);
    void drawLadderLine(QPainter& p, int line, int row, int top);
    void drawContact(QPainter& p, const std::string& cell, int x0, int x1, int wireY, int top);
    void drawCoil(QPainter& p, int row, int x0, int x1, int wireY, int top);
    QString elementLabel(const std::string& kind, int number) const;
    QRect positionRect(int line, int position) const;

    Prompts& prompts_;
    QtLadderDialogs dialogs_;
    CM240Doc* doc_ = nullptr;
    std::unique_ptr<LadderEditor> editor_;
    QLabel* header_;
    double zoom_ = 1.0;
    SymbolDisplay display_ = SymbolDisplay::Element;
    bool symbolsEnabled_ = false;
    Tool clickTool_ = Tool::None;
};

}  // namespace pv::ui
