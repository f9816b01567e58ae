#include "monitor/ui/KeypadDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "monitor/DriveControl.h"
#include "monitor/ui/MonitorHost.h"
#include "res/MonitorTexts.h"

namespace pv::ui {

namespace t = res::monitor::ui;
using monitor::KeypadKey;

namespace {

constexpr int kRefreshMs = 100;
// The hidden push buttons, in the keypad's own order.
constexpr std::array<const char*, 8> kHiddenNames = {"RUN",    "STOP",    "ENTER", "DOWN",
                                                     "RESET",  "FWD/REV", "UP",    "DSP/FUN"};
int hiddenIndex(KeypadKey key) {
    switch (key) {
        case KeypadKey::Run:
            return 0;
        case KeypadKey::Stop:
            return 1;
        case KeypadKey::Down:
            return 3;
        case KeypadKey::FwdRev:
            return 5;
        case KeypadKey::Up:
            return 6;
        default:
            return -1;
    }
}

const char* keyLabel(KeypadKey key) {
    switch (key) {
        case KeypadKey::Run:
            return "RUN";
        case KeypadKey::Stop:
            return "STOP/RESET";
        case KeypadKey::Up:
            return "\u25B2";
        case KeypadKey::Down:
            return "\u25BC";
        case KeypadKey::FwdRev:
            return "FWD\nREV";
        default:
            return "";
    }
}

}  // namespace

KeypadPanel::KeypadPanel(QWidget* parent) : QWidget(parent) {
    setFixedSize(monitor::kKeypadWidth, monitor::kKeypadHeight);
    setObjectName("keypadPanel");
    setCursor(Qt::PointingHandCursor);
}

void KeypadPanel::setDisplay(const QString& name, const QString& value, bool running,
                             bool reverse) {
    if (name == name_ && value == value_ && running == running_ && reverse == reverse_) return;
    name_ = name;
    value_ = value;
    running_ = running;
    reverse_ = reverse;
    update();
}

void KeypadPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Housing.
    p.setPen(QPen(QColor(60, 60, 66), 2));
    p.setBrush(QColor(70, 74, 82));
    p.drawRoundedRect(QRectF(4, 4, width() - 8, height() - 8), 16, 16);
    // Display.
    const QRectF lcd(24, 22, width() - 48, 150);
    p.setBrush(QColor(18, 30, 22));
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.drawRoundedRect(lcd, 6, 6);
    QFont f = font();
    f.setPixelSize(16);
    p.setFont(f);
    p.setPen(QColor(130, 230, 150));
    p.drawText(lcd.adjusted(12, 8, -12, 0), Qt::AlignLeft | Qt::AlignTop, name_);
    QFont big = font();
    big.setPixelSize(44);
    big.setBold(true);
    big.setFamily("monospace");
    p.setFont(big);
    p.drawText(lcd.adjusted(12, 20, -12, -20), Qt::AlignRight | Qt::AlignVCenter, value_);
    p.setFont(f);
    auto lamp = [&](qreal x, const char* text, bool on) {
        p.setPen(on ? QColor(255, 90, 70) : QColor(80, 90, 84));
        p.drawText(QRectF(x, lcd.bottom() - 26, 70, 20), Qt::AlignLeft, text);
    };
    lamp(lcd.left() + 12, "RUN", running_);
    lamp(lcd.left() + 82, "STOP", !running_);
    lamp(lcd.left() + 152, "FWD", !reverse_);
    lamp(lcd.left() + 222, "REV", reverse_);

    // Keys, exactly on their hit areas.
    for (const auto& a : monitor::kKeyAreas) {
        const QRectF r(a.left, a.top, a.right - a.left + 1, a.bottom - a.top + 1);
        const bool pressed = down_ == a.key;
        p.setPen(QPen(QColor(25, 25, 28), 1.5));
        QColor face = a.key == KeypadKey::Run    ? QColor(60, 150, 80)
                      : a.key == KeypadKey::Stop ? QColor(190, 60, 55)
                                                 : QColor(200, 202, 206);
        p.setBrush(pressed ? face.darker(140) : face);
        p.drawRoundedRect(r, 6, 6);
        p.setPen(a.key == KeypadKey::Run || a.key == KeypadKey::Stop ? Qt::white : Qt::black);
        QFont kf = font();
        kf.setPixelSize(a.key == KeypadKey::FwdRev ? 11 : 14);
        kf.setBold(true);
        p.setFont(kf);
        p.drawText(r, Qt::AlignCenter, keyLabel(a.key));
    }
    // The dial.
    const QRectF dial(monitor::kDialLeft, monitor::kDialTop,
                      monitor::kDialRight - monitor::kDialLeft,
                      monitor::kDialBottom - monitor::kDialTop);
    QRadialGradient g(dial.center(), dial.width() / 2);
    g.setColorAt(0, dialPressed_ ? QColor(120, 124, 130) : QColor(210, 212, 216));
    g.setColorAt(1, dialPressed_ ? QColor(70, 72, 76) : QColor(140, 142, 146));
    p.setBrush(g);
    p.setPen(QPen(QColor(25, 25, 28), 1.5));
    p.drawEllipse(dial);
    p.setPen(QColor(230, 230, 230));
    p.setFont(f);
    p.drawText(QRectF(dial.left() - 20, dial.bottom() + 4, dial.width() + 40, 20), Qt::AlignCenter,
               "READ/ENTER");
}

void KeypadPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    down_ = monitor::KeypadHit(pos.x(), pos.y());
    if (down_ == KeypadKey::Dial) dialPressed_ = true;
    update();
}

void KeypadPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const KeypadKey key = monitor::KeypadHit(pos.x(), pos.y());
    const KeypadKey was = down_;
    down_ = KeypadKey::None;
    if (was == KeypadKey::Dial) dialPressed_ = false;
    update();
    if (key == was && key != KeypadKey::None && key != KeypadKey::Dial) emit keyClicked(key);
}

KeypadDialog::KeypadDialog(MonitorHost& host, QWidget* parent)
    : QDialog(parent), host_(host), executor_(host.linkThread()) {
    setObjectName("keypadDialog");
    setWindowTitle(t::kKeypadTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setAttribute(Qt::WA_DeleteOnClose);

    panel_ = new KeypadPanel(this);
    for (std::size_t i = 0; i < kHiddenNames.size(); ++i) {
        auto* b = new QPushButton(kHiddenNames[i], this);
        b->setObjectName(QString("key_") + kHiddenNames[i]);
        b->hide();
        hidden_[i] = b;
    }
    connect(panel_, &KeypadPanel::keyClicked, this, [this](KeypadKey key) {
        if (auto* b = hiddenButton(key)) b->click();
    });
    for (KeypadKey key : {KeypadKey::Run, KeypadKey::Stop, KeypadKey::FwdRev, KeypadKey::Up,
                          KeypadKey::Down})
        connect(hiddenButton(key), &QPushButton::clicked, this, [this, key] { press(key); });

    station_ = new QComboBox(this);
    for (int s : host_.linkStations()) station_->addItem(QString::number(s), s);
    function_ = new QComboBox(this);
    function_->setObjectName("functionSelector");
    for (const char* n : monitor::kKeypadFunctionNames) function_->addItem(n);
    frequency_ = new QLineEdit(this);
    frequency_->setObjectName("frequencyField");
    setFrequency_ = new QPushButton(t::kSet, this);
    setFrequency_->setAutoDefault(false);
    runSource_ = new QLabel("-", this);
    freqSource_ = new QLabel("-", this);

    auto* form = new QFormLayout;
    form->addRow(t::kStation, station_);
    form->addRow(t::kFunction, function_);
    auto* freqRow = new QHBoxLayout;
    freqRow->addWidget(frequency_);
    freqRow->addWidget(setFrequency_);
    form->addRow(t::kFreqSet, freqRow);
    form->addRow(res::monitor::kCommSeqLabel, runSource_);
    form->addRow(res::monitor::kCommRefLabel, freqSource_);
    auto* lines = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString("monitorLine%1").arg(i + 1));
        for (const char* n : monitor::kKeypadFunctionNames) c->addItem(n);
        c->setCurrentIndex(i + 1);
        auto* v = new QLabel("-", this);
        v->setMinimumWidth(110);
        lineSelect_[static_cast<size_t>(i)] = c;
        lineValue_[static_cast<size_t>(i)] = v;
        lines->addWidget(new QLabel(QString(t::kMonitorLine).arg(i + 1), this), i, 0);
        lines->addWidget(c, i, 1);
        lines->addWidget(v, i, 2);
        connect(c, &QComboBox::currentIndexChanged, this, [this] { applyReadings(); });
    }
    auto* side = new QVBoxLayout;
    side->addLayout(form);
    side->addLayout(lines);
    side->addStretch();
    auto* lay = new QHBoxLayout(this);
    lay->addWidget(panel_, 0, Qt::AlignTop);
    lay->addLayout(side);
    lay->setSizeConstraint(QLayout::SetFixedSize);

    connect(function_, &QComboBox::currentIndexChanged, this, [this] { applyReadings(); });
    connect(setFrequency_, &QPushButton::clicked, this,
            [this] { setFrequency(monitor::FrequencyEntry::SetButton); });
    connect(frequency_, &QLineEdit::editingFinished, this, [this] {
        // Leaving the field with a changed value sends it, as the drive's own keypad does.
        if (!frequency_->isModified() || setFrequency_->hasFocus()) return;
        frequency_->setModified(false);
        setFrequency(monitor::FrequencyEntry::KeypadField);
    });

    refresh_ = std::make_unique<monitor::PollScheduler>(
        executor_,
        [this](int st) { return monitor::ReadKeypad(host_.linkChannel(), st, unitKnown_, read_); },
        [this](const monitor::PollResult& r) {
            if (r.outcome != monitor::PollResult::Outcome::Ok) return;
            const bool first = !unitKnown_;
            if (first) {
                unitKnown_ = true;
            } else {
                read_.frequencyTenths = readings_.frequencyTenths;
            }
            readings_ = read_;
            if (first) frequency_->setText(readings_.frequencyTenths ? "0.0" : "0.00");
            applyReadings();
        },
        [this](const std::string& text) { host_.monitorPrompts().message(text); });
    refresh_->setPeriod(std::chrono::milliseconds(kRefreshMs));
    refresh_->setStation(station());
    connect(station_, &QComboBox::currentIndexChanged, this, [this] {
        refresh_->setStation(station());
    });
    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs / 4);
    connect(timer_, &QTimer::timeout, this, [this] { refresh_->tick(); });
    applyReadings();
    refresh_->start();
    timer_->start();
}

KeypadDialog::~KeypadDialog() {
    stopRefresh();
}

void KeypadDialog::stopRefresh() {
    timer_->stop();
    refresh_->stop();
}

void KeypadDialog::closeEvent(QCloseEvent* event) {
    stopRefresh();
    event->accept();
}

int KeypadDialog::station() const {
    return station_->currentData().isValid() ? station_->currentData().toInt() : 1;
}

QPushButton* KeypadDialog::hiddenButton(KeypadKey key) const {
    const int i = hiddenIndex(key);
    return i < 0 ? nullptr : hidden_[static_cast<size_t>(i)];
}

QString KeypadDialog::monitorLine(int line) const {
    return lineValue_[static_cast<size_t>(line)]->text();
}

void KeypadDialog::applyReadings() {
    const int entry = function_->currentIndex();
    frequency_->setEnabled(entry == 0 && readings_.frequencyFromComm());
    setFrequency_->setEnabled(frequency_->isEnabled());
    runSource_->setText(QString::number(readings_.runSource));
    freqSource_->setText(QString::number(readings_.frequencySource));
    for (int i = 0; i < 4; ++i)
        lineValue_[static_cast<size_t>(i)]->setText(
            QString::fromStdString(readings_.text(lineSelect_[static_cast<size_t>(i)]->currentIndex())));
    panel_->setDisplay(function_->currentText(), QString::fromStdString(readings_.text(entry)),
                       readings_.drive[1] != 0, false);
}

void KeypadDialog::press(KeypadKey key) {
    if (key == KeypadKey::Up) {
        function_->setCurrentIndex(monitor::NextFunction(function_->currentIndex()));
        return;
    }
    if (key == KeypadKey::Down) {
        function_->setCurrentIndex(monitor::PreviousFunction(function_->currentIndex()));
        return;
    }
    if (!host_.linked()) return;
    monitor::KeyOutcome out;
    const int st = station();
    const bool runFromComm = readings_.runFromComm();
    host_.linkThread().runModal(
        [&] { out = monitor::PressKey(host_.linkChannel(), st, key, runFromComm); }, this);
    if (out.stopRefresh) stopRefresh();
    if (!out.text.empty()) host_.monitorPrompts().message(out.text);
}

void KeypadDialog::setFrequency(monitor::FrequencyEntry entry) {
    if (!host_.linked()) return;
    if (entry == monitor::FrequencyEntry::KeypadField && !readings_.frequencyFromComm()) {
        host_.monitorPrompts().message(res::monitor::kFrequencySourceError);
        return;
    }
    std::string text;
    const std::string value = frequency_->text().toStdString();
    const bool hf = host_.highFrequencyMode();
    const int st = station();
    host_.linkThread().runModal(
        [&] { text = monitor::SetFrequency(host_.linkChannel(), st, value, hf, entry); }, this);
    if (!text.empty()) host_.monitorPrompts().message(text);
}

}  // namespace pv::ui
