#include "widgets/ProgressWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "res/UiTexts.h"

namespace pv::ui {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ui_text::kProgressCaption);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    label_ = new QLabel(this);
    label_->setMinimumWidth(320);
    bar_ = new QProgressBar(this);
    cancel_ = new QPushButton(ui_text::kCancel, this);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(label_);
    lay->addWidget(bar_);
    lay->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        cancel_->setEnabled(false);
    });
}

void ProgressWindow::begin(const QString& text, int rangeMin, int rangeMax) {
    cancelled_ = false;
    cancel_->setEnabled(true);
    setText(text);
    setRange(rangeMin, rangeMax);
    bar_->setValue(rangeMin);
    show();
    raise();
}

void ProgressWindow::setText(const QString& text) {
    label_->setText(text);
}
void ProgressWindow::setRange(int rangeMin, int rangeMax) {
    bar_->setRange(rangeMin, rangeMax);
}
void ProgressWindow::setPosition(int position) {
    bar_->setValue(position);
}
void ProgressWindow::end() {
    hide();
}
QString ProgressWindow::text() const {
    return label_->text();
}
int ProgressWindow::position() const {
    return bar_->value();
}

void ProgressWindow::reject() {
    cancelled_ = true;
    cancel_->setEnabled(false);
}

}  // namespace pv::ui
