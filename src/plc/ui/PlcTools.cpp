#include "plc/ui/PlcTools.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "plc/ui/PlcRunControl.h"
#include "res/PlcRunTexts.h"

namespace pv::ui {

namespace {
QPushButton* toggle(const QString& name, QWidget* parent) {
    auto* b = new QPushButton(name, parent);
    b->setCheckable(true);
    b->setObjectName(name);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance("MMM") + 16);
    b->setStyleSheet("QPushButton:checked { background: #3cb043; color: white; font-weight: bold; }");
    return b;
}
}  // namespace

InputStatusTool::InputStatusTool(PlcRunControl& control, QWidget* parent)
    : QDialog(parent), control_(control) {
    setObjectName("inputStatusTool");
    setWindowTitle(text::kInputStatusCaption);
    auto* layout = new QVBoxLayout(this);
    auto* inputs = new QGroupBox(text::kInputsGroup, this);
    auto* ig = new QGridLayout(inputs);
    for (int n = 1; n <= 8; ++n) {
        QPushButton* b = toggle(QString("I%1").arg(n), inputs);
        inputs_[n - 1] = b;
        ig->addWidget(b, 0, n - 1);
        connect(b, &QPushButton::clicked, this, [this, n](bool on) { control_.forceInput(n, on); });
    }
    auto* relays = new QGroupBox(text::kRelaysGroup, this);
    auto* rg = new QGridLayout(relays);
    for (int n = 1; n <= 15; ++n) {
        QPushButton* b = toggle(QString("M%1").arg(n, 0, 16).toUpper(), relays);
        relays_[n - 1] = b;
        rg->addWidget(b, (n - 1) / 8, (n - 1) % 8);
        connect(b, &QPushButton::clicked, this, [this, n](bool on) { control_.forceRelay(n, on); });
    }
    layout->addWidget(inputs);
    layout->addWidget(relays);
    connect(&control_, &PlcRunControl::statesChanged, this, &InputStatusTool::refresh);
    refresh();
}

void InputStatusTool::refresh() {
    const auto& s = control_.states();
    for (int n = 1; n <= 8; ++n) inputs_[n - 1]->setChecked(s.I[n - 1]);
    for (int n = 1; n <= 15; ++n) relays_[n - 1]->setChecked(s.M[n - 1]);
    const bool live = control_.monitoring() || control_.simulating();
    for (auto* b : inputs_) b->setEnabled(live);
    for (auto* b : relays_) b->setEnabled(live);
}

namespace {
struct AnalogRow {
    const char* unit;
    double max;
    double min;
    int decimals;
    int scale;  // the simulator's units per displayed unit
};
// V1, V2 frequencies; V3..V5 voltages; V6 current; V7 percent.
constexpr AnalogRow kAnalogRows[7] = {
    {text::kAnalogHz, 400.00, 0.01, 2, 100},  {text::kAnalogHz, 400.00, 0.01, 2, 100},
    {text::kAnalogVolt, 10.00, 0.00, 2, 100}, {text::kAnalogVolt, 10.00, 0.00, 2, 100},
    {text::kAnalogVolt, 10.00, 0.00, 2, 100}, {text::kAnalogAmp, 999.9, 0.1, 1, 10},
    {text::kAnalogPercent, 200.0, 0.1, 1, 10},
};
}  // namespace

AnalogTool::AnalogTool(PlcRunControl& control, QWidget* parent) : QDialog(parent), control_(control) {
    setObjectName("analogTool");
    setWindowTitle(text::kAnalogCaption);
    auto* grid = new QGridLayout(this);
    for (int n = 1; n <= 7; ++n) {
        const AnalogRow& r = kAnalogRows[n - 1];
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QString("V%1").arg(n));
        box->setDecimals(r.decimals);
        box->setRange(r.min, r.max);
        box->setSingleStep(r.decimals == 2 ? 0.1 : 1.0);
        box->setValue(std::max(r.min, double(control_.analog(n)) / r.scale));
        values_[n - 1] = box;
        grid->addWidget(new QLabel(QString("V%1").arg(n), this), n - 1, 0);
        grid->addWidget(box, n - 1, 1);
        grid->addWidget(new QLabel(r.unit, this), n - 1, 2);
        const int scale = r.scale;
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, n, scale](double v) {
            control_.setAnalog(n, static_cast<std::uint32_t>(std::lround(v * scale)));
        });
        control_.setAnalog(n, static_cast<std::uint32_t>(std::lround(box->value() * scale)));
    }
}

}  // namespace pv::ui
