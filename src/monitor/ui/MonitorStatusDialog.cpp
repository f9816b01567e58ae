#include "monitor/ui/MonitorStatusDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "drive/Registers.h"
#include "monitor/DriveControl.h"
#include "monitor/ui/MonitorHost.h"
#include "monitor/ui/MonitorWindows.h"
#include "res/MonitorTexts.h"

namespace pv::ui {

namespace t = res::monitor::ui;

namespace {
constexpr int kPollMs = 400;
}

TerminalDiagram::TerminalDiagram(QWidget* parent) : QWidget(parent) {
    setMinimumSize(380, 140);
}

void TerminalDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int lamp = 22;
    const int step = std::max(36, (width() - 40) / 8);
    auto draw = [&](int x, int y, bool on, const QString& label) {
        p.setPen(QPen(palette().windowText().color(), 1.5));
        p.setBrush(on ? QColor(40, 190, 70) : palette().base().color());
        p.drawEllipse(x, y, lamp, lamp);
        p.drawText(QRect(x - 12, y + lamp + 2, lamp + 24, 18), Qt::AlignHCenter, label);
    };
    p.drawText(QRect(8, 4, width() - 16, 18), Qt::AlignLeft, t::kInputs);
    for (int s = 1; s <= 8; ++s)
        draw(20 + (s - 1) * step, 26, block_.input(s), QString("S%1").arg(s));
    p.drawText(QRect(8, 76, width() - 16, 18), Qt::AlignLeft, t::kOutputs);
    const char* outs[] = {"R1", "R2", "DO1"};
    for (int k = 0; k < 3; ++k) draw(20 + k * step, 98, block_.output(k), outs[k]);
}

MonitorStatusDialog::MonitorStatusDialog(MonitorHost& host, MonitorWindows& windows,
                                         QWidget* parent)
    : QDialog(parent), host_(host), windows_(windows), executor_(host.linkThread()) {
    setObjectName("monitorStatusDialog");
    setWindowTitle(t::kStatusTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setAttribute(Qt::WA_DeleteOnClose);

    tabs_ = new QTabWidget(this);
    auto* statusPage = new QWidget;
    auto* form = new QFormLayout(statusPage);
    statusStation_ = stationCombo(statusPage);
    form->addRow(t::kStationNum, statusStation_);
    for (int r = 0; r < monitor::kStatusWords; ++r) {
        auto* l = new QLabel("-", statusPage);
        l->setObjectName(QString("statusRow%1").arg(r));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        rows_[static_cast<size_t>(r)] = l;
        form->addRow(t::kStatusRows[r], l);
    }
    tabs_->addTab(statusPage, t::kStatusPage);

    auto* terminalPage = new QWidget;
    auto* tl = new QVBoxLayout(terminalPage);
    terminalStation_ = stationCombo(terminalPage);
    auto* tr = new QHBoxLayout;
    tr->addWidget(new QLabel(t::kStationNum, terminalPage));
    tr->addWidget(terminalStation_);
    tr->addStretch();
    tl->addLayout(tr);
    diagram_ = new TerminalDiagram(terminalPage);
    tl->addWidget(diagram_);
    tl->addStretch();
    tabs_->addTab(terminalPage, t::kTerminalPage);

    auto* startB = new QPushButton(t::kStart, this);
    auto* stopB = new QPushButton(t::kStopPolling, this);
    auto* control = new QPushButton(t::kShowControl, this);
    auto* cancel = new QPushButton(t::kCancel, this);
    startB->setObjectName("start");
    stopB->setObjectName("stop");
    for (auto* b : {startB, stopB, control, cancel}) b->setAutoDefault(false);
    connect(startB, &QPushButton::clicked, this, &MonitorStatusDialog::start);
    connect(stopB, &QPushButton::clicked, this, &MonitorStatusDialog::stop);
    connect(control, &QPushButton::clicked, this, [this] { windows_.openControl(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(startB);
    buttons->addWidget(stopB);
    buttons->addWidget(control);
    buttons->addStretch();
    buttons->addWidget(cancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(tabs_);
    lay->addLayout(buttons);

    auto show = [this](const std::string& text) { host_.monitorPrompts().message(text); };
    statusPoll_ = std::make_unique<monitor::PollScheduler>(
        executor_,
        [this](int st) {
            std::string e;
            auto& link = host_.linkChannel();
            // The frequency unit is the drive's (01-02), read along with the block.
            std::uint16_t maxFrequency = 0;
            if (!monitor::ReadStatusBlock(link, st, statusRead_, e) ||
                !monitor::ReadBlock(link, st, drive::kRegMaxFrequency, 1, &maxFrequency, e))
                return monitor::PollResult::stop(e);
            tenths_ = monitor::LimitsFromWords({.maxMotor1 = maxFrequency}, false).tenths;
            return monitor::PollResult::ok();
        },
        [this](const monitor::PollResult& r) {
            if (r.outcome != monitor::PollResult::Outcome::Ok) return;
            status_ = statusRead_;
            showStatus();
        },
        show);
    terminalPoll_ = std::make_unique<monitor::PollScheduler>(
        executor_,
        [this](int st) {
            std::string e;
            if (!monitor::ReadTerminalBlock(host_.linkChannel(), st, terminalRead_, e))
                return monitor::PollResult::stop(e);
            return monitor::PollResult::ok();
        },
        [this](const monitor::PollResult& r) {
            if (r.outcome == monitor::PollResult::Outcome::Ok) diagram_->setBlock(terminalRead_);
        },
        show);
    for (auto* p : {statusPoll_.get(), terminalPoll_.get()})
        p->setPeriod(std::chrono::milliseconds(kPollMs));
    auto stationOf = [](QComboBox* c) {
        return c->currentData().isValid() ? c->currentData().toInt() : 1;
    };
    statusPoll_->setStation(stationOf(statusStation_));
    terminalPoll_->setStation(stationOf(terminalStation_));
    connect(statusStation_, &QComboBox::currentIndexChanged, this,
            [this, stationOf] { statusPoll_->setStation(stationOf(statusStation_)); });
    connect(terminalStation_, &QComboBox::currentIndexChanged, this,
            [this, stationOf] { terminalPoll_->setStation(stationOf(terminalStation_)); });
    timer_ = new QTimer(this);
    timer_->setInterval(kPollMs / 8);
    connect(timer_, &QTimer::timeout, this, [this] {
        statusPoll_->tick();
        terminalPoll_->tick();
    });
}

MonitorStatusDialog::~MonitorStatusDialog() {
    stop();
}

QComboBox* MonitorStatusDialog::stationCombo(QWidget* parent) {
    auto* c = new QComboBox(parent);
    for (int s : host_.linkStations()) c->addItem(QString::number(s), s);
    return c;
}

void MonitorStatusDialog::start() {
    if (!host_.linked()) return;
    statusPoll_->start();
    terminalPoll_->start();
    timer_->start();
}

void MonitorStatusDialog::stop() {
    timer_->stop();
    statusPoll_->stop();
    terminalPoll_->stop();
}

void MonitorStatusDialog::closeEvent(QCloseEvent* event) {
    stop();
    event->accept();
}

QString MonitorStatusDialog::rowText(int row) const {
    const auto& s = status_;
    const double f = tenths_ ? 0.1 : 0.01;
    switch (row) {
        case 0: {
            const auto w = s.statusWord();
            QStringList parts{w & drive::kStRunning ? t::kStateRunning : t::kStateStopped,
                              w & drive::kStReverse ? t::kStateReverse : t::kStateForward};
            if (w & drive::kStFault) parts << t::kStateFault;
            if (w & drive::kStAtSpeed) parts << t::kStateAtSpeed;
            return QString("0x%1  %2").arg(w, 4, 16, QChar('0')).arg(parts.join(", "));
        }
        case 1:
            return QString::number(s.faultCode());
        case 2:
            return QString("0x%1").arg(s.terminalWord(), 4, 16, QChar('0'));
        case 3:
        case 4:
            return QString("%1 Hz").arg(s.words[static_cast<size_t>(row)] * f, 0, 'f', 2);
        case 5:
        case 6:
            return QString("%1 V").arg(s.words[static_cast<size_t>(row)] * 0.1, 0, 'f', 1);
        case 7:
            return QString("%1 A").arg(s.words[7] * 0.1, 0, 'f', 1);
        case 12:
            return QString("%1 %").arg(s.signedWord(12) * 0.1, 0, 'f', 1);
        case 13:
            return QString("%1 rpm").arg(s.signedWord(13));
        default:
            return QString::number(s.words[static_cast<size_t>(row)]);
    }
}

void MonitorStatusDialog::showStatus() {
    for (int r = 0; r < monitor::kStatusWords; ++r) rows_[static_cast<size_t>(r)]->setText(rowText(r));
}

}  // namespace pv::ui
