#pragma once
// The two small modeless tools of running the ladder: Input Status (the inputs I1..I8 and the
// relays M1..MF as toggle buttons that show the live state and force on a press) and Analog (the
// values V1..V7 the simulator's comparators and arithmetic blocks read).

#include <QDialog>
#include <array>

class QPushButton;
class QDoubleSpinBox;

namespace pv::ui {

class PlcRunControl;

class InputStatusTool : public QDialog {
    Q_OBJECT
public:
    InputStatusTool(PlcRunControl& control, QWidget* parent);
    QPushButton* inputButton(int n) const { return inputs_[n - 1]; }
    QPushButton* relayButton(int n) const { return relays_[n - 1]; }
    // The buttons follow the element states the ladder shows.
    void refresh();

private:
    PlcRunControl& control_;
    std::array<QPushButton*, 8> inputs_{};
    std::array<QPushButton*, 15> relays_{};
};

class AnalogTool : public QDialog {
    Q_OBJECT
public:
    AnalogTool(PlcRunControl& control, QWidget* parent);
    QDoubleSpinBox* value(int n) const { return values_[n - 1]; }

private:
    PlcRunControl& control_;
    std::array<QDoubleSpinBox*, 7> values_{};
};

}  // namespace pv::ui
