#include "controls/db/gridrows.h"

#include "controls/application.h"
#include "controls/db/lookuplist.h"
#include <algorithm>

namespace controls {

namespace {

bool isEditState(data::DataSetState s) {
    return s == data::DataSetState::Edit || s == data::DataSetState::Insert;
}

} // namespace

GridRows::GridRows(QObject* parent) : QAbstractTableModel(parent) {}

void GridRows::show(data::DataSource* source, const QVector<GridColumn>& columns) {
    stored_ = columns;
    if (source == dataSource())
        activeChanged();
    else
        setDataSource(source); // tells activeChanged()
}

void GridRows::setCapacitySource(std::function<int()> capacity) {
    capacitySource_ = std::move(capacity);
    if (capacitySource_) capacity_ = capacitySource_();
}

void GridRows::updateCapacity() {
    if (!capacitySource_) return;
    const int cap = capacitySource_();
    if (cap == capacity_) return;
    capacity_ = cap;
    reload();
}

void GridRows::setReadOnly(bool on) {
    readOnly_ = on;
    rowsChanged(0, int(lines_.size()) - 1);
}

bool GridRows::canModify() const {
    const data::DataSet* ds = dataSet();
    return ds && ds->Active() && ds->CanModify() && !readOnly_;
}

bool GridRows::cellEditable(int column) const {
    const data::Field* f = fieldOf(column);
    if (!f || f->ReadOnly() || f->dataType() == data::FieldType::AutoInc || !canModify()) return false;
    return isEditState(dataSet()->State()) || dataSource()->AutoEdit();
}

void GridRows::endBatch() {
    if (--batch_ == 0) flush();
}

void GridRows::request(Sync s) {
    if (int(s) > int(pending_)) pending_ = s;
    if (batch_ == 0) flush();
}

void GridRows::flush() {
    const Sync s = pending_;
    pending_ = Sync::None;
    if (s == Sync::Reload)
        reload();
    else if (s == Sync::Scroll)
        follow();
}

void GridRows::showNewRowLast() {
    const data::DataSet* ds = dataSet();
    if (!ds || ds->State() != data::DataSetState::Insert) return;
    appending_ = true;
    insertAnchor_.clear();
    request(Sync::Reload);
}

// --- what the window shows ---

data::RowKey GridRows::keyOfRow(int row) const {
    if (row < 0 || row >= lines_.size() || lines_[row].blank) return {};
    return lines_[row].key;
}

int GridRows::rowOfKey(const data::RowKey& key) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (!lines_[i].blank && lines_[i].key == key) return i;
    return -1;
}

QString GridRows::text(int row, int column) const {
    if (row < 0 || row >= lines_.size() || column < 0 || column >= cols_.size()) return {};
    const int fi = cols_[column].fieldIndex;
    if (fi < 0) return {};
    const data::DataSet* ds = dataSet();
    if (row == current_ && ds && ds->Active() && fi < ds->fields().size()) return ds->fields()[fi]->Text();
    if (lines_[row].blank) return {};
    return dbctl::valueText(lines_[row].values.value(fi));
}

QString GridRows::columnTitle(int column) const { return cols_.value(column).title; }

data::Field* GridRows::fieldOf(int column) const {
    const data::DataSet* ds = dataSet();
    if (!ds || !ds->Active() || column < 0 || column >= cols_.size()) return nullptr;
    const int fi = cols_[column].fieldIndex;
    return fi >= 0 && fi < ds->fields().size() ? ds->fields()[fi] : nullptr;
}

void GridRows::setUserWidth(int column, int pixels) {
    if (column >= 0 && column < cols_.size()) cols_[column].column.width = -pixels;
}

int GridRows::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(lines_.size()); }

int GridRows::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(cols_.size());
}

QVariant GridRows::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(cols_[index.column()].column.alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant GridRows::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= cols_.size()) return {};
        switch (role) {
        case Qt::DisplayRole:
            return cols_[section].title;
        case Qt::TextAlignmentRole:
            return int(cols_[section].column.alignment | Qt::AlignVCenter);
        case Qt::FontRole:
            if (cols_[section].column.titleBold) {
                QFont f = titleFont_;
                f.setBold(true);
                return f;
            }
            return {};
        default:
            return {};
        }
    }
    if (role == Qt::DisplayRole) {
        // The marker of the current row: browsing, editing, or the new row.
        if (section != current_) return QString();
        const data::DataSet* ds = dataSet();
        const auto s = ds ? ds->State() : data::DataSetState::Inactive;
        if (s == data::DataSetState::Insert) return QStringLiteral("*");
        if (s == data::DataSetState::Edit) return QStringLiteral("I");
        return QStringLiteral("\u25B6");
    }
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags GridRows::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.row() == current_ && cellEditable(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

void GridRows::rowsChanged(int first, int last) {
    if (lines_.isEmpty() || cols_.isEmpty()) return;
    first = std::clamp(first, 0, int(lines_.size()) - 1);
    last = std::clamp(last, 0, int(lines_.size()) - 1);
    emit dataChanged(index(first, 0), index(last, int(cols_.size()) - 1));
    emit headerDataChanged(Qt::Vertical, first, last);
}

// --- following the dataset ---

void GridRows::activeChanged() {
    const data::DataSet* ds = dataSet();
    lastState_ = ds ? ds->State() : data::DataSetState::Inactive;
    appending_ = false;
    insertAnchor_.clear();
    beginResetModel();
    resolveColumns();
    lines_.clear();
    current_ = -1;
    insertAt_ = -1;
    endResetModel();
    // Asked after the columns are laid out: their widths may take room from the rows.
    if (capacitySource_) capacity_ = capacitySource_();
    reload();
}

void GridRows::stateChanged() {
    const data::DataSet* ds = dataSet();
    const auto now = ds ? ds->State() : data::DataSetState::Inactive;
    const auto before = lastState_;
    lastState_ = now;
    if (now == data::DataSetState::Insert && before != data::DataSetState::Insert) {
        appending_ = false;
        insertAnchor_ = lastKey_;
        request(Sync::Reload);
    } else if (now == data::DataSetState::Edit && before == data::DataSetState::Browse) {
        // Same row, now being edited: only the marker and the values change.
        rowsChanged(current_, current_);
    } else {
        if (now != data::DataSetState::Insert) appending_ = false;
        request(Sync::Reload);
    }
}

void GridRows::recordChanged(data::Field*) {
    if (current_ >= 0) rowsChanged(current_, current_);
}

void GridRows::dataSetScrolled() { request(Sync::Scroll); }

void GridRows::dataSetChanged() { request(Sync::Reload); }

void GridRows::resolveColumns() {
    QVector<Col> cols;
    const data::DataSet* ds = dataSet();
    const bool open = ds && ds->Active();
    QVector<GridColumn> wanted = stored_;
    if (wanted.isEmpty() && open) {
        for (const data::Field* f : ds->fields()) {
            GridColumn c;
            c.field = f->FieldName();
            wanted.append(c);
        }
    }
    for (const GridColumn& c : wanted) {
        if (!c.visible) continue;
        Col col;
        col.column = c;
        col.title = c.title.isEmpty() ? c.field : c.title;
        if (open) {
            if (const data::Field* f = ds->FindField(c.field)) col.fieldIndex = f->index();
        }
        // Keep a width the user set for the same column.
        for (const Col& old : cols_)
            if (old.column.field == c.field && old.column.width < 0) col.column.width = old.column.width;
        cols.append(col);
    }
    cols_ = cols;
}

// A move within the window only moves the current row; anything else reads it again.
void GridRows::follow() {
    data::DataSet* ds = dataSet();
    if (!ds || !ds->Active() || ds->State() == data::DataSetState::Insert || ds->IsEmpty()) {
        reload();
        return;
    }
    const data::RowKey key = ds->CurrentKey();
    const int row = rowOfKey(key);
    if (row < 0 || insertAt_ >= 0) {
        reload();
        return;
    }
    lastKey_ = key;
    if (row != current_) {
        const int old = current_;
        current_ = row;
        rowsChanged(old, old);
        rowsChanged(row, row);
    }
    emit windowChanged();
}

void GridRows::reload() {
    data::DataSet* ds = dataSet();
    QVector<Line> lines;
    int current = -1;
    int insertAt = -1;
    if (ds && ds->Active()) {
        const int cap = std::max(1, capacity_);
        // The current row keeps its place in the window where the table allows.
        const int pos = std::clamp(current_ < 0 ? 0 : current_, 0, cap - 1);
        auto toLines = [](const QVector<data::Row>& rows, bool reverse) {
            QVector<Line> out;
            out.reserve(rows.size());
            for (const data::Row& r : rows)
                out.append({r.key, r.values, false});
            if (reverse) std::reverse(out.begin(), out.end());
            return out;
        };
        // `total` rows around `key`: `pos` of them before it when the table has them, the
        // rest from the key on, and more from above when the table ends too soon.
        auto around = [&](const data::RowKey& key, int before, int total, QVector<Line>& above,
                          QVector<Line>& below) {
            above = before > 0 ? toLines(ds->FetchRows(key, false, before, false), true) : QVector<Line>();
            below = toLines(ds->FetchRows(key, true, total - int(above.size()), true), false);
            const int missing = total - int(above.size() + below.size());
            if (missing > 0 && int(above.size()) == before && !(above.isEmpty() && below.isEmpty())) {
                const data::RowKey top = above.isEmpty() ? key : above.front().key;
                above = toLines(ds->FetchRows(top, false, missing, false), true) + above;
            }
        };
        bool ok = false;
        runGuarded([&] {
            const auto state = ds->State();
            if (state == data::DataSetState::Insert) {
                QVector<Line> above, below;
                if (appending_) {
                    above = toLines(ds->FetchRows({}, false, cap - 1, false), true);
                } else if (!insertAnchor_.isEmpty()) {
                    around(insertAnchor_, pos, cap - 1, above, below);
                    if (!below.isEmpty() && below.front().key != insertAnchor_)
                        below.clear(); // the anchor is gone: the new row stands last
                } else {
                    below = toLines(ds->FetchRows({}, true, cap - 1, false), false);
                }
                lines = above;
                insertAt = int(lines.size());
                lines.append({{}, {}, true});
                lines += below;
                current = insertAt;
            } else if (!ds->IsEmpty()) {
                const data::RowKey key = ds->CurrentKey();
                QVector<Line> above, below;
                around(key, pos, cap, above, below);
                if (below.isEmpty() || below.front().key != key)
                    below.prepend({key, {}, false}); // shown from the fields
                lines = above + below;
                current = int(above.size());
                while (lines.size() > cap && current > 0) {
                    lines.removeFirst();
                    --current;
                }
                lines.resize(std::min<int>(int(lines.size()), std::max(cap, current + 1)));
                lastKey_ = key;
            } else {
                lines.append({{}, {}, true}); // an empty dataset still offers a row to type into
                current = 0;
            }
            ok = true;
        });
        if (!ok) {
            lines.clear();
            current = -1;
            insertAt = -1;
        }
    }

    bool same = lines.size() == lines_.size() && current == current_;
    for (int i = 0; same && i < lines.size(); ++i)
        same = lines[i].blank == lines_[i].blank && lines[i].key == lines_[i].key;
    if (same) {
        // The same rows in the same places: refresh in place, so an open editor stays.
        lines_ = lines;
        insertAt_ = insertAt;
        rowsChanged(0, int(lines.size()) - 1);
    } else {
        beginResetModel();
        lines_ = lines;
        current_ = current;
        insertAt_ = insertAt;
        endResetModel();
    }
    emit windowChanged();
}

} // namespace controls
