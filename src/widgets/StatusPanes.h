#pragma once
// The six panes of the main frame's status bar. Panes 0, 1, 2, 4 and 5 show a fixed caption
// before their text; pane 3 (the link state) shows its text alone.

#include <QString>
#include <array>

class QLabel;
class QStatusBar;

namespace pv::ui {

class StatusPanes {
public:
    static constexpr int kPaneCount = 6;
    explicit StatusPanes(QStatusBar* bar);

    // Sets the text of one pane; out-of-range panes are ignored.
    void setPane(int pane, const QString& text);
    // What the pane shows now: caption and text.
    QString shown(int pane) const;
    QString text(int pane) const;

private:
    std::array<QLabel*, kPaneCount> labels_{};
    std::array<QString, kPaneCount> texts_{};
};

}  // namespace pv::ui
