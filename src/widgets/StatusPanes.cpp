#include "widgets/StatusPanes.h"

#include <QLabel>
#include <QStatusBar>

#include "res/UiTexts.h"

namespace pv::ui {

namespace {
constexpr std::array<int, StatusPanes::kPaneCount> kMinWidths = {180, 110, 130, 70, 150, 110};
}

StatusPanes::StatusPanes(QStatusBar* bar) {
    for (int i = 0; i < kPaneCount; ++i) {
        auto* l = new QLabel(bar);
        l->setObjectName(QString("pane%1").arg(i));
        l->setMinimumWidth(kMinWidths[i]);
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(l, i == 0 ? 1 : 0);
        labels_[i] = l;
        setPane(i, {});
    }
}

void StatusPanes::setPane(int pane, const QString& text) {
    if (pane < 0 || pane >= kPaneCount) return;
    texts_[pane] = text;
    const QString caption = ui_text::kPaneCaptions[pane];
    labels_[pane]->setText(caption.isEmpty() ? text : caption + " " + text);
}

QString StatusPanes::shown(int pane) const {
    return pane >= 0 && pane < kPaneCount ? labels_[pane]->text() : QString();
}

QString StatusPanes::text(int pane) const {
    return pane >= 0 && pane < kPaneCount ? texts_[pane] : QString();
}

}  // namespace pv::ui
