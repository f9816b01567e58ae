#include "monitor/ui/MonitorControlDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "drive/Registers.h"
#include "monitor/ui/MonitorHost.h"
#include "monitor/ui/MonitorWindows.h"
#include "res/MonitorTexts.h"

namespace pv::ui {

namespace t = res::monitor::ui;
using monitor::BitChange;

namespace {
constexpr int kRefreshMs = 100;
}

MonitorControlDialog::MonitorControlDialog(MonitorHost& host, MonitorWindows& windows,
                                           QWidget* parent)
    : QDialog(parent), host_(host), windows_(windows), executor_(host.linkThread()) {
    setObjectName("monitorControlDialog");
    setWindowTitle(t::kControlTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setAttribute(Qt::WA_DeleteOnClose);

    stationBox_ = new QComboBox(this);
    for (int s : host_.linkStations()) stationBox_->addItem(QString::number(s), s);
    auto* stationRow = new QHBoxLayout;
    stationRow->addWidget(new QLabel(t::kStationNum, this));
    stationRow->addWidget(stationBox_);
    stationRow->addStretch();

    auto* commands = new QGroupBox(t::kCommandGroup, this);
    auto* cmdRow = new QHBoxLayout(commands);
    struct Rmw {
        const char* text;
        std::uint16_t mask;
        BitChange change;
    };
    const Rmw rmw[] = {{t::kRun, drive::kCmdRun, BitChange::Set},
                       {t::kStop, drive::kCmdRun, BitChange::Clear},
                       {t::kFwd, drive::kCmdReverse, BitChange::Clear},
                       {t::kRev, drive::kCmdReverse, BitChange::Set},
                       {t::kFaultReset, drive::kCmdFaultReset, BitChange::Set}};
    for (const auto& r : rmw) {
        auto* b = new QPushButton(r.text, commands);
        b->setObjectName(QString("cmd_") + r.text);
        b->setAutoDefault(false);
        cmdRow->addWidget(b);
        const auto mask = r.mask;
        const auto change = r.change;
        connect(b, &QPushButton::clicked, this, [this, mask, change] {
            act([mask, change](serial::CSerial& link, int st) {
                const auto w = monitor::ModifyCommandWord(link, st, mask, change);
                return w.ok ? std::string() : w.error;
            });
        });
    }

    auto* commBox = new QGroupBox(t::kCommGroup, this);
    auto* commGrid = new QGridLayout(commBox);
    for (int i = 1; i <= monitor::kCommInputs; ++i) {
        auto* b = new QPushButton(QString::asprintf(res::monitor::kCommOffFormat, i), commBox);
        b->setObjectName(QString("comm%1").arg(i));
        b->setAutoDefault(false);
        comm_[static_cast<size_t>(i - 1)] = b;
        commGrid->addWidget(b, (i - 1) / 4, (i - 1) % 4);
        connect(b, &QPushButton::clicked, this, [this, i] {
            const auto cached = cached_;
            act([cached, i](serial::CSerial& link, int st) {
                std::string e;
                return monitor::WriteToggled(link, st, cached, monitor::CommInputBit(i), e)
                           ? std::string()
                           : e;
            });
        });
    }
    driveMode_ = new QPushButton(res::monitor::kDriveModeOff, commBox);
    driveMode_->setObjectName("driveMode");
    driveMode_->setAutoDefault(false);
    commGrid->addWidget(driveMode_, 2, 0, 1, 2);
    connect(driveMode_, &QPushButton::clicked, this, [this] {
        const auto cached = cached_;
        act([cached](serial::CSerial& link, int st) {
            std::string e;
            return monitor::WriteToggled(link, st, cached, monitor::kBitDriveMode, e)
                       ? std::string()
                       : e;
        });
    });

    frequency_ = new QLineEdit(this);
    frequency_->setObjectName("frequency");
    frequency_->setMaximumWidth(100);
    auto* setFreq = new QPushButton(t::kSet, this);
    setFreq->setObjectName("setFrequency");
    setFreq->setAutoDefault(false);
    connect(frequency_, &QLineEdit::returnPressed, setFreq, &QPushButton::click);
    connect(setFreq, &QPushButton::clicked, this, [this] {
        const std::string text = frequency_->text().toStdString();
        const bool hf = host_.highFrequencyMode();
        act([text, hf](serial::CSerial& link, int st) {
            return monitor::SetFrequency(link, st, text, hf, monitor::FrequencyEntry::SetButton);
        });
    });
    auto* freqRow = new QHBoxLayout;
    freqRow->addWidget(new QLabel(t::kFreqSetting, this));
    freqRow->addWidget(frequency_);
    freqRow->addWidget(new QLabel("Hz", this));
    freqRow->addWidget(setFreq);
    freqRow->addStretch();

    auto* doRow = new QHBoxLayout;
    doRow->addWidget(new QLabel(t::kDoSetting, this));
    const char* doNames[] = {t::kDo1, t::kR2, t::kR1};
    for (int k = 0; k < 3; ++k) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString("output_") + doNames[k]);
        c->addItems({t::kOff, t::kOn});
        outputs_[static_cast<size_t>(k)] = c;
        doRow->addWidget(new QLabel(doNames[k], this));
        doRow->addWidget(c);
    }
    auto* setDo = new QPushButton(t::kSet, this);
    setDo->setObjectName("setOutputs");
    setDo->setAutoDefault(false);
    doRow->addWidget(setDo);
    doRow->addStretch();
    connect(setDo, &QPushButton::clicked, this, [this] {
        const auto value = monitor::OutputValue(outputs_[0]->currentIndex(),
                                                outputs_[1]->currentIndex(),
                                                outputs_[2]->currentIndex());
        act([value](serial::CSerial& link, int st) { return monitor::SetOutputs(link, st, value); });
    });

    note_ = new QLabel(this);
    note_->setObjectName("refreshNote");
    note_->setWordWrap(true);
    auto* showStatus = new QPushButton(t::kShowStatus, this);
    auto* graph = new QPushButton(t::kGraph, this);
    auto* cancel = new QPushButton(t::kCancel, this);
    for (auto* b : {showStatus, graph, cancel}) b->setAutoDefault(false);
    connect(showStatus, &QPushButton::clicked, this, [this] { windows_.openStatus(); });
    connect(graph, &QPushButton::clicked, this, [this] { windows_.openGraph(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(showStatus);
    bottom->addWidget(graph);
    bottom->addStretch();
    bottom->addWidget(cancel);

    auto* lay = new QVBoxLayout(this);
    lay->addLayout(stationRow);
    lay->addWidget(commands);
    lay->addWidget(commBox);
    lay->addLayout(freqRow);
    lay->addLayout(doRow);
    lay->addWidget(note_);
    lay->addLayout(bottom);

    // The refresh: the command-source check reads the command word, which becomes the cache.
    refresh_ = std::make_unique<monitor::PollScheduler>(
        executor_,
        [this](int st) {
            std::string error;
            if (!check_.run(host_.linkChannel(), st, error)) return monitor::PollResult::stop(error);
            polled_ = check_.source().commandWord;
            return monitor::PollResult::ok();
        },
        [this](const monitor::PollResult& r) {
            if (r.outcome == monitor::PollResult::Outcome::Ok) {
                cached_ = polled_;
                applyWord();
            } else {
                note_->setText(t::kRefreshStopped);
            }
        },
        [this](const std::string& text) { host_.monitorPrompts().message(text); });
    refresh_->setPeriod(std::chrono::milliseconds(kRefreshMs));
    refresh_->setStation(station());
    connect(stationBox_, &QComboBox::currentIndexChanged, this,
            [this] { refresh_->setStation(station()); });
    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs / 4);
    connect(timer_, &QTimer::timeout, this, [this] { refresh_->tick(); });
    refresh_->start();
    timer_->start();
}

MonitorControlDialog::~MonitorControlDialog() {
    stopRefresh();
}

int MonitorControlDialog::station() const {
    return stationBox_->currentData().isValid() ? stationBox_->currentData().toInt() : 1;
}

void MonitorControlDialog::stopRefresh() {
    timer_->stop();
    refresh_->stop();
}

void MonitorControlDialog::closeEvent(QCloseEvent* event) {
    stopRefresh();
    event->accept();
}

void MonitorControlDialog::applyWord() {
    for (int i = 1; i <= monitor::kCommInputs; ++i)
        comm_[static_cast<size_t>(i - 1)]->setText(QString::asprintf(
            cached_ & monitor::CommInputBit(i) ? res::monitor::kCommOnFormat
                                               : res::monitor::kCommOffFormat,
            i));
    driveMode_->setText(cached_ & monitor::kBitDriveMode ? res::monitor::kDriveModeOn
                                                         : res::monitor::kDriveModeOff);
}

void MonitorControlDialog::act(
    const std::function<std::string(serial::CSerial&, int station)>& job) {
    if (!host_.linked()) return;
    std::string text;
    const int st = station();
    host_.linkThread().runModal([&] { text = job(host_.linkChannel(), st); }, this);
    if (!text.empty()) host_.monitorPrompts().message(text);
}

}  // namespace pv::ui
