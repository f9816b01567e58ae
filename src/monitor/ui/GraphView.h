#pragma once
// The graph area ("Oscillograph"): the four channels against time, each between its own minimum
// and maximum. It follows the newest sample while recording (older samples scroll out to the
// left) until the user zooms (wheel), pans (drag) or places the cursor (click), which reads every
// channel at that time; a double click goes back to following. Each pixel column draws the
// smallest and largest sample under it, so an hour of samples redraws as fast as a minute.

#include <QWidget>
#include <array>
#include <optional>

#include "monitor/GraphRecording.h"

namespace pv::ui {

class GraphView : public QWidget {
    Q_OBJECT
public:
    explicit GraphView(const monitor::GraphRecording& recording, QWidget* parent);

    // The visible time span in seconds.
    void setSpan(double seconds);
    double span() const { return span_; }
    // Back to following the newest sample, with the channels' own scales.
    void follow();
    bool following() const { return follow_; }
    // Each channel's scale from the visible samples instead of its minimum and maximum.
    void setAutoscale(bool on);
    bool autoscale() const { return autoscale_; }
    // Zooms the time axis around `atTime` by `factor` (below 1 zooms in).
    void zoom(double factor, double atTime);
    void setCursorTime(std::optional<double> t);
    std::optional<double> cursorTime() const { return cursor_; }
    double viewStart() const;
    // Scale of a channel as drawn: bottom and top.
    std::pair<double, double> scale(int channel) const;

    static const std::array<QColor, kGraphChannels>& colors();

signals:
    void viewChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect plotRect() const;
    double timeAtX(int x) const;
    int xAtTime(double t) const;

    const monitor::GraphRecording& rec_;
    double span_ = 60;
    bool follow_ = true;
    double start_ = 0;  // the left edge while not following
    bool autoscale_ = false;
    std::optional<double> cursor_;
    std::optional<QPoint> dragFrom_;
    double dragStart_ = 0;
    bool dragged_ = false;
};

}  // namespace pv::ui
