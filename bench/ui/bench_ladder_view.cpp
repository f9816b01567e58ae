// Costs of the ladder window: one repaint of a full window (1600x1000, all 80 rows in use, ten
// comment lines) at three zooms, and opening a project's ladder (reading the file, giving the
// program to a new window and its first paint). Prints each figure and its ratio to the goal.
// Run: build/bin/bench_ladder_view (offscreen unless QT_QPA_PLATFORM says otherwise).
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "plc/LadderEditor.h"
#include "plc/ui/CPlcView.h"
#include "project/CM240Doc.h"
#include "res/ScriptedPrompts.h"

using namespace pv;

namespace {

constexpr double kRepaintGoalMs = 8.0;

// Every row in use: contacts, a wire, links between neighbours, a coil of each kind.
void fill(PlcProgram& p) {
    const char letters[] = "IQMTCGFiqmtcgf";
    for (int r = 0; r < kLadderRows; ++r) {
        p.setContact(r, 0, letters[r % 14], r % 8 + 1);
        if (r % 3 == 0)
            p.setWire(r, 1);
        else
            p.setContact(r, 1, 'M', r % 15 + 1);
        p.setContact(r, 2, letters[(r + 5) % 14], r % 8 + 1);
        if (r % 5 == 4)
            p.setBlockCoil(r, "AS", r % 4 + 1);
        else
            p.setCoil(r, r % 2 ? kCoilSet : kCoilOutput, "QMTCGF"[r % 6], r % 2 + 1);
    }
    ScriptedPrompts prompts;
    struct NoDialogs : LadderDialogs {
        bool editContact(std::string&, char) override { return false; }
        bool editCoil(std::array<uint8_t, 4>&, const std::string&, PlcProgram&) override {
            return false;
        }
        bool editComment(std::array<std::string, kCommentTextLines>&) override { return false; }
    } none;
    LadderEditor e(p, prompts, none);
    for (int r = 1; r < kLadderRows; r += 2) e.toggleLink(r, r % 3);
    for (int i = 0; i < 10; ++i)
        e.insertComment(i * 9, {"Comment line", "with a second text", "", ""});
}

double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CM240Doc doc(std::string(PARVOLT_DATA_DIR) + "/");
    fill(doc.plc);
    ScriptedPrompts prompts;
    ui::CPlcView view(prompts);
    view.resize(1600, 1000);
    view.setDocument(&doc);
    view.show();
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    std::printf("ladder repaint, %dx%d viewport, %d rows in use, goal %.1f ms\n",
                view.viewport()->width(), view.viewport()->height(), doc.plc.ladderRowsUsed(),
                kRepaintGoalMs);
    for (double zoom : {1.0, 0.6, 0.4}) {
        view.setZoom(zoom);
        std::vector<double> ms;
        for (int i = 0; i < 200; ++i) {
            QElapsedTimer t;
            t.start();
            image.fill(Qt::white);
            view.viewport()->render(&image);
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
        const double m = medianMs(ms);
        std::printf("  zoom %.1f: median %.2f ms  (%.2f of the goal)\n", zoom, m,
                    m / kRepaintGoalMs);
    }

    // Opening: the project file read, the program given to a new window, its first paint.
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/bench.nf3").toStdString();
    ProjectFrameItems items;
    items.modelCode = 0x35021;
    items.modelName = "N350-401-H";
    doc.LoadParameterDatabase();
    if (!doc.SaveProject(path, items)) {
        std::fprintf(stderr, "cannot save %s\n", path.c_str());
        return 1;
    }
    std::vector<double> open, ladderOnly;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        CM240Doc opened(std::string(PARVOLT_DATA_DIR) + "/");
        ProjectFrameItems read;
        if (!opened.LoadProject(path, read)) return 1;
        const qint64 loaded = t.nsecsElapsed();
        ui::CPlcView fresh(prompts);
        fresh.resize(1600, 1000);
        fresh.setDocument(&opened);
        QImage first(fresh.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        fresh.viewport()->render(&first);
        open.push_back(t.nsecsElapsed() / 1e6);
        ladderOnly.push_back((t.nsecsElapsed() - loaded) / 1e6);
    }
    const double o = medianMs(open), l = medianMs(ladderOnly);
    std::printf(
        "open a project's ladder: median %.2f ms, of which the window and first paint "
        "%.2f ms (%.0f%%)\n",
        o, l, 100.0 * l / o);
    return 0;
}
