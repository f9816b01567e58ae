#include "widgets/MessageDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "res/UiTexts.h"

namespace pv::ui {

MessageDialog::MessageDialog(Kind kind, const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(kind == Kind::Error ? "errorDialog" : "questionDialog");
    setWindowTitle(kind == Kind::Error ? ui_text::kErrorCaption : ui_text::kMessageCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* icon = new QLabel(this);
    const auto pix =
        kind == Kind::Error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxQuestion;
    icon->setPixmap(style()->standardIcon(pix).pixmap(32, 32));
    label_ = new QLabel(text, this);
    label_->setWordWrap(true);
    label_->setMinimumWidth(260);
    auto* buttons =
        new QDialogButtonBox(kind == Kind::Error ? QDialogButtonBox::Ok
                                                 : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                             this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(label_, 1);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(row);
    lay->addWidget(buttons);
}

QString MessageDialog::text() const {
    return label_->text();
}

}  // namespace pv::ui
