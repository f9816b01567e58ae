#include "monitor/ui/GraphView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "res/MonitorTexts.h"

namespace pv::ui {

namespace t = res::monitor::ui;

namespace {

constexpr double kMinSpan = 1.0;
constexpr double kMaxSpan = 24 * 3600.0;

double numberOr(const std::string& text, double fallback) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return end != text.c_str() && std::isfinite(v) ? v : fallback;
}

// A step of 1, 2 or 5 times a power of ten giving about `count` divisions of `range`.
double niceStep(double range, int count) {
    const double raw = range / std::max(1, count);
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * p) return m * p;
    return 10 * p;
}

}  // namespace

GraphView::GraphView(const monitor::GraphRecording& recording, QWidget* parent)
    : QWidget(parent), rec_(recording) {
    setObjectName("graphView");
    setMinimumSize(480, 300);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

const std::array<QColor, kGraphChannels>& GraphView::colors() {
    static const std::array<QColor, kGraphChannels> c = {QColor(220, 50, 47), QColor(38, 139, 210),
                                                         QColor(90, 160, 30), QColor(200, 130, 0)};
    return c;
}

void GraphView::setSpan(double seconds) {
    span_ = std::clamp(seconds, kMinSpan, kMaxSpan);
    update();
    emit viewChanged();
}

void GraphView::follow() {
    follow_ = true;
    cursor_.reset();
    update();
    emit viewChanged();
}

void GraphView::setAutoscale(bool on) {
    autoscale_ = on;
    update();
}

double GraphView::viewStart() const {
    if (!follow_) return start_;
    return std::max(0.0, rec_.duration() - span_);
}

void GraphView::zoom(double factor, double atTime) {
    const double left = viewStart();
    const double ratio = span_ > 0 ? (atTime - left) / span_ : 0;
    const double newSpan = std::clamp(span_ * factor, kMinSpan, kMaxSpan);
    start_ = std::max(0.0, atTime - ratio * newSpan);
    span_ = newSpan;
    follow_ = false;
    update();
    emit viewChanged();
}

void GraphView::setCursorTime(std::optional<double> t) {
    cursor_ = t;
    update();
    emit viewChanged();
}

std::pair<double, double> GraphView::scale(int c) const {
    const auto& ch = rec_.channels[static_cast<size_t>(c)];
    double lo = numberOr(ch.minimum, 0), hi = numberOr(ch.maximum, 10);
    if (autoscale_) {
        if (auto r = rec_.range(c, viewStart(), viewStart() + span_)) {
            lo = r->first;
            hi = r->second;
            const double pad = std::max(1e-6, (hi - lo) * 0.05);
            lo -= pad;
            hi += pad;
        }
    }
    if (!(hi > lo)) hi = lo + 1;
    return {lo, hi};
}

QRect GraphView::plotRect() const {
    const int fh = fontMetrics().height();
    return rect().adjusted(56, 2 * fh + 10, -16, -(2 * fh + 8));
}

double GraphView::timeAtX(int x) const {
    const QRect r = plotRect();
    return viewStart() + (x - r.left()) * span_ / std::max(1, r.width());
}

int GraphView::xAtTime(double t) const {
    const QRect r = plotRect();
    return r.left() + static_cast<int>(std::lround((t - viewStart()) * r.width() / span_));
}

void GraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette pal = palette();
    p.fillRect(rect(), pal.window());
    const QRect r = plotRect();
    p.fillRect(r, pal.base());
    const int fh = fontMetrics().height();

    QFont titleFont = font();
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(pal.windowText().color());
    p.drawText(QRect(0, 4, width(), fh), Qt::AlignHCenter, res::monitor::kGraphAreaTitle);
    p.setFont(font());

    // Legend: each channel's item, unit and scale, and the value under the cursor.
    const int legendW = std::max(1, width() / kGraphChannels);
    for (int c = 0; c < kGraphChannels; ++c) {
        const auto& item = monitor::GraphItemAt(rec_.channels[static_cast<size_t>(c)].selection);
        const auto [lo, hi] = scale(c);
        QString text = QString("%1%2 %3..%4")
                           .arg(item.name, item.unit)
                           .arg(lo, 0, 'g', 5)
                           .arg(hi, 0, 'g', 5);
        if (cursor_ && !rec_.samples.empty()) {
            const auto i = std::min(rec_.indexAt(*cursor_), rec_.samples.size() - 1);
            text += " = " + QString::fromStdString(monitor::FormatValue(
                                rec_.samples[i].values[static_cast<size_t>(c)],
                                rec_.decimals[static_cast<size_t>(c)]));
        }
        p.setPen(colors()[static_cast<size_t>(c)]);
        p.drawText(QRect(c * legendW + 4, fh + 6, legendW - 8, fh), Qt::AlignLeft,
                   fontMetrics().elidedText(text, Qt::ElideRight, legendW - 8));
    }

    // Grid: ten value divisions, time lines at a round step.
    QPen grid(pal.mid().color(), 0, Qt::DotLine);
    p.setPen(grid);
    for (int k = 0; k <= 10; ++k) {
        const int y = r.top() + k * r.height() / 10;
        p.drawLine(r.left(), y, r.right(), y);
    }
    const double left = viewStart();
    const double step = niceStep(span_, std::max(2, r.width() / 90));
    for (double tm = std::ceil(left / step) * step; tm <= left + span_ + 1e-9; tm += step) {
        const int x = xAtTime(tm);
        p.setPen(grid);
        p.drawLine(x, r.top(), x, r.bottom());
        p.setPen(pal.windowText().color());
        p.drawText(QRect(x - 40, r.bottom() + 2, 80, fh), Qt::AlignHCenter,
                   QString::number(tm, 'g', 6));
    }
    p.setPen(pal.windowText().color());
    p.drawText(QRect(r.left(), r.bottom() + fh + 4, r.width(), fh), Qt::AlignHCenter, t::kTimeAxis);
    // The value axis in percent of each channel's scale.
    for (int k = 0; k <= 10; k += 2) {
        const int y = r.bottom() - k * r.height() / 10;
        p.drawText(QRect(0, y - fh / 2, r.left() - 6, fh), Qt::AlignRight | Qt::AlignVCenter,
                   QString("%1%").arg(k * 10));
    }
    p.save();
    p.translate(12, r.center().y());
    p.rotate(-90);
    p.drawText(QRect(-60, -fh, 120, fh), Qt::AlignCenter, t::kValueAxis);
    p.restore();
    p.drawRect(r.adjusted(0, 0, -1, -1));

    // Curves: per pixel column the first, smallest, largest and last sample under it.
    p.setClipRect(r);
    p.setRenderHint(QPainter::Antialiasing, false);
    const auto& s = rec_.samples;
    const std::size_t first = rec_.indexAt(left);
    const std::size_t begin = first > 0 ? first - 1 : 0;
    const double pixelsPerSecond = r.width() / span_;
    auto columnOf = [&](double tm) {
        return r.left() + static_cast<int>(std::lround((tm - left) * pixelsPerSecond));
    };
    for (int c = 0; c < kGraphChannels; ++c) {
        if (rec_.channels[static_cast<size_t>(c)].selection == 0) continue;
        const auto [lo, hi] = scale(c);
        auto yOf = [&, lo = lo, hi = hi](double v) {
            return r.bottom() - (v - lo) * r.height() / (hi - lo);
        };
        // A polyline with a cosmetic pen: the raster engine draws it without building an outline,
        // which is what keeps an hour of samples within a frame.
        QPolygonF path;
        path.reserve(4 * r.width() + 8);
        int column = INT32_MIN;
        double cMin = 0, cMax = 0, cLast = 0;
        auto flush = [&] {
            if (column == INT32_MIN) return;
            const double yMin = yOf(cMin), yMax = yOf(cMax);
            if (yMin != yMax) {
                path << QPointF(column, yMax) << QPointF(column, yMin);
            }
            path << QPointF(column, yOf(cLast));
        };
        for (std::size_t i = begin; i < s.size(); ++i) {
            const int x = columnOf(s[i].time);
            const double v = s[i].values[static_cast<size_t>(c)];
            if (x != column) {
                flush();
                column = x;
                cMin = cMax = cLast = v;
            } else {
                cMin = std::min(cMin, v);
                cMax = std::max(cMax, v);
                cLast = v;
            }
            if (x > r.right()) break;
        }
        flush();
        QPen pen(colors()[static_cast<size_t>(c)], 0);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.drawPolyline(path);
    }
    if (cursor_) {
        const int x = xAtTime(*cursor_);
        p.setPen(QPen(pal.windowText().color(), 1, Qt::DashLine));
        p.drawLine(x, r.top(), x, r.bottom());
        p.drawText(QRect(x + 4, r.top() + 2, 120, fh), Qt::AlignLeft,
                   QString("%1 s").arg(*cursor_, 0, 'f', 3));
    }
}

void GraphView::wheelEvent(QWheelEvent* event) {
    const double factor = event->angleDelta().y() > 0 ? 0.8 : 1.25;
    zoom(factor, timeAtX(static_cast<int>(event->position().x())));
    event->accept();
}

void GraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragFrom_ = event->position().toPoint();
    dragStart_ = viewStart();
    dragged_ = false;
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragFrom_) return;
    const int dx = event->position().toPoint().x() - dragFrom_->x();
    if (std::abs(dx) < 3 && !dragged_) return;
    dragged_ = true;
    follow_ = false;
    start_ = std::max(0.0, dragStart_ - dx * span_ / std::max(1, plotRect().width()));
    update();
    emit viewChanged();
}

void GraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragFrom_ && !dragged_ &&
        plotRect().contains(event->position().toPoint())) {
        setCursorTime(timeAtX(event->position().toPoint().x()));
    }
    dragFrom_.reset();
}

void GraphView::mouseDoubleClickEvent(QMouseEvent*) {
    follow();
}

void GraphView::keyPressEvent(QKeyEvent* event) {
    const double left = viewStart();
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoom(0.8, left + span_ / 2);
            break;
        case Qt::Key_Minus:
            zoom(1.25, left + span_ / 2);
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
            follow_ = false;
            start_ = std::max(0.0, left + (event->key() == Qt::Key_Left ? -0.1 : 0.1) * span_);
            update();
            emit viewChanged();
            break;
        case Qt::Key_Home:
            follow();
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace pv::ui
