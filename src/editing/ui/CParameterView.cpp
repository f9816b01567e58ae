#include "editing/ui/CParameterView.h"

#include <QApplication>
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
    // The name takes what the values leave: at 1000 px or at 1.5x scale the values stay in
    // sight and a long name is elided (its tooltip holds it whole).
    const int valueWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000.000 (PMSLV)")) + 16;
    for (int col : {ColDefault, ColSet, ColRead}) {
        setColumnWidth(col, valueWidth);
        horizontalHeaderItem(col)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::Stretch);
    horizontalHeader()->setMinimumSectionSize(fontMetrics().horizontalAdvance(QStringLiteral("Default")) + 16);
    horizontalHeader()->setStretchLastSection(false);
    setTextElideMode(Qt::ElideRight);
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
    applyFilter();
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
    auto* name = cell(indented(4, rec.label));
    QString tip = QString::fromStdString(rec.label);
    if (!rec.auxText.empty()) tip += "\n" + QString(ui_text::kTipRange) + QString::fromStdString(rec.auxText);
    tip += "\n" + QString(ui_text::kTipDefault) + QString::fromStdString(DisplayValue(rec, rec.defaultValue));
    name->setToolTip(tip);
    setItem(row, ColName, name);
    setValues(row, rec, true);
}

void CParameterView::setValues(int row, const ParamRecord& rec, bool withDefault) {
    auto put = [this, row, &rec](int col, const std::string& text) {
        const QString t = indented(2, DisplayValue(rec, text));
        if (auto* it = item(row, col)) {
            if (it->text() != t) {
                it->setText(t);
                it->setToolTip(t.trimmed());
            }
        } else {
            auto* c = cell(t);
            c->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            c->setToolTip(t.trimmed());
            setItem(row, col, c);
        }
    };
    if (withDefault) put(ColDefault, rec.defaultValue);
    put(ColSet, rec.setValue);
    put(ColRead, rec.readValue);
    if (auto* it = item(row, ColRead)) styleReadCell(it, rec);
}

void CParameterView::styleReadCell(QTableWidgetItem* it, const ParamRecord& rec) const {
    // A drive value other than the project's stands out, so a Read shows at a glance where
    // the drive and the project part; values a failed Read left behind are greyed.
    const bool differs = !rec.readValue.empty() && rec.readValue != rec.setValue;
    QFont f = font();
    f.setBold(differs && !readStale_);
    f.setItalic(readStale_);
    if (it->font() != f) it->setFont(f);
    const QBrush brush = readStale_ ? QBrush(palette().color(QPalette::Disabled, QPalette::Text))
                         : differs  ? QBrush(QColor(0xB0, 0x20, 0x20))
                                    : QBrush();
    if (it->foreground() != brush) it->setForeground(brush);
}

void CParameterView::setFilter(const ParamListFilter& filter) {
    filter_ = filter;
    applyFilter();
}

void CParameterView::applyFilter() {
    shownParameters_ = 0;
    parameterCount_ = 0;
    int groupRow = -1;
    bool groupHasShown = false;
    auto closeGroup = [&] {
        if (groupRow >= 0) setRowHidden(groupRow, filter_.active() && !groupHasShown);
    };
    for (int row = 0; row < int(rows_.size()); ++row) {
        const auto& r = rows_[row];
        if (r.isGroupRow()) {
            closeGroup();
            groupRow = row;
            groupHasShown = false;
            continue;
        }
        ++parameterCount_;
        const bool shown = !doc_ || MatchesFilter(doc_->table.groups[r.group].params[r.index], filter_);
        setRowHidden(row, !shown);
        if (shown) {
            ++shownParameters_;
            groupHasShown = true;
        }
    }
    closeGroup();
    emit shownChanged(shownParameters_, parameterCount_);
}

void CParameterView::setReadValuesStale(bool stale) {
    if (readStale_ == stale) return;
    readStale_ = stale;
    horizontalHeaderItem(ColRead)->setText(stale ? QString(ui_text::kColReadStale)
                                                 : QString(ui_text::kColRead));
    if (!doc_) return;
    const auto guard = lockTable();
    for (int row = 0; row < int(rows_.size()); ++row) {
        const auto& r = rows_[row];
        if (r.isGroupRow()) continue;
        if (auto* it = item(row, ColRead)) styleReadCell(it, doc_->table.groups[r.group].params[r.index]);
    }
}

bool CParameterView::goTo(const QString& typed) {
    if (!doc_) return false;
    const std::string text = typed.trimmed().toStdString();
    if (text.empty()) return false;
    const std::string prefix = CodePrefixOf(text);
    const QString needle = typed.trimmed();
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 0; row < int(rows_.size()); ++row) {
            const auto& r = rows_[row];
            if (r.isGroupRow() || isRowHidden(row)) continue;
            const auto& rec = doc_->table.groups[r.group].params[r.index];
            const bool hit = pass == 0
                                 ? !prefix.empty() && rec.code().substr(0, prefix.size()) == prefix
                                 : QString::fromStdString(std::string(rec.name()))
                                       .contains(needle, Qt::CaseInsensitive);
            if (!hit) continue;
            setCurrentCell(row, ColName);
            scrollTo(model()->index(row, ColName), QAbstractItemView::PositionAtCenter);
            return true;
        }
    }
    return false;
}

void CParameterView::keyboardSearch(const QString& search) {
    // Keys typed in quick succession make one code: "1300" or "13-00" goes to 13-00 while
    // it is being typed. A pause longer than the desktop's typing interval starts anew.
    if (!typedSince_.isValid() || typedSince_.elapsed() > QApplication::keyboardInputInterval())
        typed_.clear();
    typed_ += search;
    typedSince_.start();
    if (!goTo(typed_)) QTableWidget::keyboardSearch(search);
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
    // A toggle that looks at values ("read value differs") may now keep other rows.
    if (filter_.readDiffers || filter_.changedFromDefault) applyFilter();
}

void CParameterView::RefreshShownValues() {
    if (selectedGroup_ == -1) {
        for (int g = 0; g < kListedGroups; ++g) RefreshValues(g);
    } else {
        RefreshValues(selectedGroup_);
    }
}

}  // namespace pv::ui
