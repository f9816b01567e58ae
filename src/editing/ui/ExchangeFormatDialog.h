#pragma once
// The "Export/Import Format" dialog: Excel or CSV, the last choice remembered.

#include <QDialog>

#include "editing/ParamExchange.h"

class QRadioButton;

namespace pv::ui {

class ExchangeFormatDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExchangeFormatDialog(QWidget* parent = nullptr);

    ExchangeFormat format() const;
    void setFormat(ExchangeFormat format);
    // Keeps the choice for the next time (called on OK).
    void remember() const;

private:
    QRadioButton* excel_;
    QRadioButton* csv_;
};

}  // namespace pv::ui
