#include "editing/ui/CParameterView.h"

#include <QElapsedTimer>
#include <QHeaderView>

#include "res/UiTexts.h"

namespace pv::ui {

namespace {
QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}
QString indented(int spaces, const std::string& text) {
    return QString(spaces, ' ') + QString::fromStdString(text);
}
}  // namespace

CParameterView::CParameterView(QWidget* parent) : QTableWidget(parent) {
    setObjectName("parameterView");
    setColumnCount(5);
    setHorizontalHeaderLabels(
        {QString(), ui_text::kColName, ui_text::kColDefault, ui_text::kColSet, ui_text::kColRead});
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // The blank first column has no width: hiding it keeps the header from widening it.
    setColumnHidden(ColBlank, true);
    setColumnWidth(ColName, 660);
    setColumnWidth(ColDefault, 80);
    setColumnWidth(ColSet, 80);
    setColumnWidth(ColRead, 90);
    horizontalHeader()->setStretchLastSection(true);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (const auto* r = ParameterAtRow(rows_, row))
            emit parameterActivated(r->group, r->position);
    });
}

void CParameterView::Fill(int selectedGroup) {
    QElapsedTimer timer;
    timer.start();
    const auto guard = lockTable();
    selectedGroup_ = selectedGroup;
    setUpdatesEnabled(false);
    clearContents();
    rows_.clear();
    if (doc_) rows_ = BuildParamListRows(doc_->table, selectedGroup);
    setRowCount(int(rows_.size()));
    for (int row = 0; row < int(rows_.size()); ++row) setRow(row, rows_[row]);
    setUpdatesEnabled(true);
    lastFillMs_ = timer.nsecsElapsed() / 1e6;
}

void CParameterView::setRow(int row, const ParamListRow& r) {
    const auto& group = doc_->table.groups[r.group];
    setItem(row, ColBlank, cell({}));
    if (r.isGroupRow()) {
        auto* name = cell(indented(2, group.name));
        QFont bold = font();
        bold.setBold(true);
        name->setFont(bold);
        setItem(row, ColName, name);
        return;
    }
    const auto& rec = group.params[r.index];
    setItem(row, ColName, cell(indented(4, rec.label)));
    setValues(row, rec, true);
}

void CParameterView::setValues(int row, const ParamRecord& rec, bool withDefault) {
    auto put = [this, row](int col, const std::string& text) {
        const QString t = indented(2, text);
        if (auto* it = item(row, col)) {
            if (it->text() != t) it->setText(t);
        } else {
            setItem(row, col, cell(t));
        }
    };
    if (withDefault) put(ColDefault, rec.defaultValue);
    put(ColSet, rec.setValue);
    put(ColRead, rec.readValue);
    // A drive value other than the project's stands out, so a Read shows at a glance where
    // the drive and the project part.
    if (auto* it = item(row, ColRead)) {
        const bool differs = !rec.readValue.empty() && rec.readValue != rec.setValue;
        if (it->font().bold() != differs) {
            QFont f = font();
            f.setBold(differs);
            it->setFont(f);
            it->setForeground(differs ? QBrush(QColor(0xB0, 0x20, 0x20)) : QBrush());
        }
    }
}

void CParameterView::RefreshValues(int group) {
    const auto guard = lockTable();
    if (!doc_ || group < 0 || group >= int(doc_->table.groups.size())) return;
    const bool withDefault = group == 0 || group == 5 || group == 6;
    const auto& params = doc_->table.groups[group].params;
    for (int row = 0; row < int(rows_.size()); ++row) {
        const auto& r = rows_[row];
        if (r.group != group || r.isGroupRow() || r.index >= int(params.size())) continue;
        setValues(row, params[r.index], withDefault);
    }
}

void CParameterView::RefreshShownValues() {
    if (selectedGroup_ == -1) {
        for (int g = 0; g < kListedGroups; ++g) RefreshValues(g);
    } else {
        RefreshValues(selectedGroup_);
    }
}

}  // namespace pv::ui
