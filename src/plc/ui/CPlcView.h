#pragma once
// The ladder editor view: draws the document's ladder program with QPainter (line numbers, the
// three contact cells with their gaps and vertical links, the coil column, comment lines), one
// display line per 62 logical units, scaled by the zoom and painting only the lines in sight.
// Keys, clicks and the context menu go to the editor model; the view only shows its state.

#include <QAbstractScrollArea>
#include <memory>

#include "plc/LadderEditor.h"
#include "plc/PlcEngine.h"
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
    // Find and Replace by element name. The Find dialog remembers the name and direction that
    // Find Next uses; Replace stores one undo step for all the cells it changed.
    void find();
    bool findNext();
    void replace();
    // Without dialogs (tests, and the dialogs' own work).
    bool findNext(const QString& name, bool down);
    int replaceAll(const QString& findName, const QString& replaceName);
    // Replaces the program from text (Import); false with `error` set when the text is refused.
    bool importText(const std::string& text, std::string& error);

    double zoom() const { return zoom_; }
    void setZoom(double z);
    SymbolDisplay symbolDisplay() const { return display_; }
    bool symbolsShown() const { return symbolsEnabled_; }
    void setSymbolDisplay(SymbolDisplay d, bool enabled);
    void setMode(PlcMode m);
    QString headerText() const;
    // A second part of the header: the monitor's refresh or the simulator's scan.
    void setHeaderExtra(const QString& extra);
    // Monitor and Simulate modes: the power flow and element states drawn on the ladder.
    void setLive(const plc::PowerFlow& flow, const plc::ElementStates& states);
    void clearLive();
    bool live() const { return live_; }
    const plc::PowerFlow& liveFlow() const { return flow_; }
    // Display line under a point of the viewport, -1 for none; the cursor position it hits.
    int lineAt(QPoint p) const;
    int positionAt(QPoint p) const;
    // Paints lines first..last (for the benchmark: the whole visible window).
    void paintLines(QPainter& painter, int first, int last);
    // The same for paper: no cursor, marks or live power.
    void printLines(QPainter& painter, int first, int last);
    // The last display line that holds something (a comment or a non-blank row), -1 for none.
    int lastUsedLine() const;
    // Logical width of a line (the ladder's units).
    static int lineWidth();

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
    void layoutHeader();
    void ensureCursorVisible();
    void changed(bool programChanged);
    void drawLadderLine(QPainter& p, int line, int row, int top);
    void drawContact(QPainter& p, const std::string& cell, int x0, int x1, int wireY, int top,
                     bool fed, bool on);
    void drawCoil(QPainter& p, int row, int x0, int x1, int wireY, int top, bool on);
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
    QString headerExtra_;
    QString findName_, replaceName_;
    bool findDown_ = true;
    bool live_ = false;
    bool printing_ = false;
    plc::PowerFlow flow_;
    plc::ElementStates states_;
};

}  // namespace pv::ui
