#include "controls/db/dbgrid.h"

#include "controls/application.h"
#include "controls/db/fieldlink.h"
#include "controls/db/lookuplist.h"
#include "controls/dialogs.h"
#include "data/editmask.h"
#include <QApplication>
#include <QHeaderView>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

namespace controls {
namespace dbctl {

// --------------------------------------------------------------------------- the model

// The rows the grid shows: a window of the dataset's rows around its current row, plus the
// pending new row while the dataset is inserting. The current row shows the field values
// (the row being edited); the others show the values as read.
class GridModel : public QAbstractTableModel {
public:
    struct Line {
        data::RowKey key;
        QVector<QVariant> values;
        bool blank = false; // the new row, or the one empty row of an empty dataset
    };
    struct Col {
        DBGrid::Column column;
        int fieldIndex = -1;
        QString title;
    };

    explicit GridModel(DBGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    QVector<Line> lines;
    QVector<Col> cols;
    int current = -1;
    int insertAt = -1;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(lines.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(cols.size());
    }

    QString text(int row, int col) const {
        if (row < 0 || row >= lines.size() || col < 0 || col >= cols.size()) return {};
        const int fi = cols[col].fieldIndex;
        if (fi < 0) return {};
        const data::DataSet* ds = grid_->dataSet();
        if (row == current && ds && ds->Active() && fi < ds->fields().size()) return ds->fields()[fi]->Text();
        if (lines[row].blank) return {};
        return valueText(lines[row].values.value(fi));
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return text(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return int(cols[index.column()].column.alignment | Qt::AlignVCenter);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal) {
            if (section < 0 || section >= cols.size()) return {};
            switch (role) {
            case Qt::DisplayRole:
                return cols[section].title;
            case Qt::TextAlignmentRole:
                return int(cols[section].column.alignment | Qt::AlignVCenter);
            case Qt::FontRole:
                if (cols[section].column.titleBold) {
                    QFont f = grid_->horizontalHeader()->font();
                    f.setBold(true);
                    return f;
                }
                return {};
            default:
                return {};
            }
        }
        if (role == Qt::DisplayRole) {
            if (section != current) return QString();
            const data::DataSet* ds = grid_->dataSet();
            const auto s = ds ? ds->State() : data::DataSetState::Inactive;
            if (s == data::DataSetState::Insert) return QStringLiteral("*");
            if (s == data::DataSetState::Edit) return QStringLiteral("I");
            return QStringLiteral("\u25B6");
        }
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.row() == current && grid_->cellEditable(index.column())) f |= Qt::ItemIsEditable;
        return f;
    }

    int rowOfKey(const data::RowKey& key) const {
        for (int i = 0; i < lines.size(); ++i)
            if (!lines[i].blank && lines[i].key == key) return i;
        return -1;
    }

    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }
    void rowsChanged(int first, int last) {
        if (lines.isEmpty() || cols.isEmpty()) return;
        first = std::clamp(first, 0, int(lines.size()) - 1);
        last = std::clamp(last, 0, int(lines.size()) - 1);
        emit dataChanged(index(first, 0), index(last, int(cols.size()) - 1));
        emit headerDataChanged(Qt::Vertical, first, last);
    }

private:
    DBGrid* grid_;
};

// ------------------------------------------------------------------- the cell editor

class GridEditor : public QLineEdit {
public:
    GridEditor(QWidget* parent, DBGrid* grid, int column) : QLineEdit(parent), grid_(grid), column_(column) {
        setFrame(false);
    }

    int column() const { return column_; }
    data::EditMask mask;
    bool loaded = false;

    QString pendingValue() const { return mask.isEmpty() ? text() : mask.storedValue(displayText()); }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (isEditingKey(e)) {
            const QString typed = e->text();
            if (!typed.isEmpty() && typed.at(0).isPrint() && isNumberField(grid_->fieldOfColumn(column_)) &&
                !acceptsNumberText(typed)) {
                QApplication::beep();
                e->accept();
                return;
            }
            if (!grid_->ensureEditing()) {
                e->accept();
                return;
            }
        }
        QLineEdit::keyPressEvent(e);
    }

private:
    DBGrid* grid_;
    int column_;
};

class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new GridEditor(parent, grid_, index.column());
        if (const data::Field* f = grid_->fieldOfColumn(index.column())) {
            if (f->dataType() == data::FieldType::String && f->Size() > 0) editor->setMaxLength(f->Size());
            dbctl::keepWholeCharacters(editor);
            if (!f->EditMaskText().isEmpty()) {
                editor->mask = f->editMask();
                editor->setInputMask(editor->mask.qtInputMask());
            }
        }
        grid_->editor_ = editor;
        return editor;
    }

    // The editor is filled once, when it opens; later reloads of the row do not overwrite
    // what is being typed.
    void setEditorData(QWidget* w, const QModelIndex& index) const override {
        auto* editor = dynamic_cast<GridEditor*>(w);
        if (!editor || editor->loaded) return;
        editor->loaded = true;
        const QString value = index.data(Qt::EditRole).toString();
        editor->setText(editor->mask.isEmpty() ? value : editor->mask.displayText(value));
        editor->setModified(false);
        editor->selectAll();
    }

    // The grid writes the cell itself (commitData), where the layer's errors are handled.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

private:
    DBGrid* grid_;
};

} // namespace dbctl

using dbctl::GridEditor;
using dbctl::GridModel;

namespace {

Qt::Alignment alignmentOf(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == "center" || t == "centre" || t == "tacenter") return Qt::AlignHCenter;
    if (t == "right" || t == "tarightjustify") return Qt::AlignRight;
    return Qt::AlignLeft;
}

bool guardedRun(const std::function<void()>& f) {
    bool done = false;
    runGuarded([&] {
        f();
        done = true;
    });
    return done;
}

bool isEditState(data::DataSetState s) {
    return s == data::DataSetState::Edit || s == data::DataSetState::Insert;
}

} // namespace

// ------------------------------------------------------------------------------ DBGrid

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent), model_(new GridModel(this)), delegate_(new dbctl::GridDelegate(this)),
      bar_(new QScrollBar(Qt::Vertical, this)) {
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(false); // Tab leaves the grid, as in the rest of the window
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("\u25B6")) + 12);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (applyingWidths_ || syncing_ || section < 0 || section >= model_->cols.size()) return;
        // A width the user dragged stays for this column.
        model_->cols[section].column.width = -size;
    });

    bar_->setRange(0, 4);
    bar_->setPageStep(1);
    bar_->setSingleStep(1);
    bar_->setFocusPolicy(Qt::NoFocus);
    connect(bar_, &QScrollBar::actionTriggered, this, &DBGrid::onBarAction);
    connect(bar_, &QScrollBar::sliderReleased, this, [this] {
        const int v = bar_->sliderPosition();
        if (v <= bar_->minimum())
            run([](data::DataSet& ds) { ds.First(); });
        else if (v >= bar_->maximum())
            run([](data::DataSet& ds) { ds.Last(); });
        updateBar();
    });
    focusConnection_ = connect(qApp, &QApplication::focusChanged, this, &DBGrid::onFocusChanged);
    capacity_ = visibleRowCapacity();
    updateBar();
}

DBGrid::~DBGrid() { disconnect(focusConnection_); }

void DBGrid::bindData(const FormObjects& objects) {
    const QVariant cols = property("columns");
    if (cols.isValid()) {
        if (cols.canConvert<QJsonArray>() && cols.typeId() == QMetaType::QJsonArray)
            columns_ = columnsFromJson(cols.value<QJsonArray>());
        else if (cols.typeId() == QMetaType::QJsonValue)
            columns_ = columnsFromJson(cols.toJsonValue().toArray());
        else
            columns_ = columnsFromJson(QJsonArray::fromVariantList(cols.toList()));
    }
    readOnly_ = dbctl::boolProperty(this, "readOnly", false);
    data::DataSource* source = dbctl::sourceProperty(this, "dataSource", objects);
    if (source == dataSource())
        activeChanged();
    else
        setDataSource(source);
}

QVector<DBGrid::Column> DBGrid::columnsFromJson(const QJsonArray& array) {
    QVector<Column> out;
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        Column c;
        c.field = o.value("field").toString();
        c.title = o.value("title").toString();
        c.alignment = alignmentOf(o.value("alignment").toString());
        c.titleBold = o.value("titleBold").toBool(false);
        c.visible = o.value("visible").toBool(true);
        c.width = o.value("width").toInt(0);
        out.append(c);
    }
    return out;
}

void DBGrid::setColumns(const QVector<Column>& columns) {
    columns_ = columns;
    activeChanged();
}

void DBGrid::setColumns(const QJsonArray& columns) { setColumns(columnsFromJson(columns)); }

void DBGrid::SetReadOnly(bool on) {
    readOnly_ = on;
    model_->rowsChanged(0, int(model_->lines.size()) - 1);
}

// --- what the grid shows ---

int DBGrid::shownRowCount() const { return int(model_->lines.size()); }
int DBGrid::currentShownRow() const { return model_->current; }
int DBGrid::shownColumnCount() const { return int(model_->cols.size()); }
QString DBGrid::columnTitle(int column) const { return model_->cols.value(column).title; }
QString DBGrid::cellText(int row, int column) const { return model_->text(row, column); }
bool DBGrid::isInsertRow(int row) const { return row >= 0 && row == model_->insertAt; }

int DBGrid::visibleRowCapacity() const {
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    int height;
    if (isVisible() && !testAttribute(Qt::WA_PendingResizeEvent)) {
        height = viewport()->height();
    } else {
        // Not laid out yet (a window created hidden): what the stored size leaves for rows.
        height = contentsRect().height();
        if (!horizontalHeader()->isHidden()) height -= horizontalHeader()->sizeHint().height();
        // Columns wider than the grid will bring a horizontal scroll bar at the first showing;
        // count it now, so that showing does not change the capacity and re-read the rows.
        const int width = contentsRect().width() - verticalHeader()->sizeHint().width();
        if (horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && horizontalHeader()->length() > width)
            height -= horizontalScrollBar()->sizeHint().height();
    }
    return std::max(1, height / rowHeight);
}

// --- binding ---

data::Field* DBGrid::fieldOfColumn(int column) const {
    const data::DataSet* ds = dataSet();
    if (!ds || !ds->Active() || column < 0 || column >= model_->cols.size()) return nullptr;
    const int fi = model_->cols[column].fieldIndex;
    return fi >= 0 && fi < ds->fields().size() ? ds->fields()[fi] : nullptr;
}

bool DBGrid::canModify() const {
    const data::DataSet* ds = dataSet();
    return ds && ds->Active() && ds->CanModify() && !readOnly_;
}

bool DBGrid::cellEditable(int column) const {
    const data::Field* f = fieldOfColumn(column);
    if (!f || f->ReadOnly() || f->dataType() == data::FieldType::AutoInc || !canModify()) return false;
    return isEditState(dataSet()->State()) || (dataSource() && dataSource()->AutoEdit());
}

bool DBGrid::ensureEditing() {
    data::DataSet* ds = dataSet();
    if (!canModify()) return false;
    if (isEditState(ds->State())) return true;
    if (!dataSource()->AutoEdit()) return false;
    runGuarded([ds] { ds->Edit(); });
    return isEditState(ds->State());
}

bool DBGrid::run(const std::function<void(data::DataSet&)>& op) {
    data::DataSet* ds = dataSet();
    if (!ds || !ds->Active()) return false;
    std::exception_ptr error;
    ++busy_;
    try {
        op(*ds);
    } catch (...) {
        error = std::current_exception();
    }
    --busy_;
    if (busy_ == 0) flush();
    if (error) runGuarded([&] { std::rethrow_exception(error); }); // the default error box
    return !error;
}

void DBGrid::request(Sync s) {
    if (int(s) > int(pending_)) pending_ = s;
    if (busy_ == 0) flush();
}

void DBGrid::flush() {
    const Sync s = pending_;
    pending_ = Sync::None;
    if (s == Sync::Rebuild)
        rebuild();
    else if (s == Sync::Scroll)
        followScroll();
}

void DBGrid::resolveColumns() {
    QVector<GridModel::Col> cols;
    const data::DataSet* ds = dataSet();
    const bool open = ds && ds->Active();
    QVector<Column> wanted = columns_;
    if (wanted.isEmpty() && open) {
        for (const data::Field* f : ds->fields()) {
            Column c;
            c.field = f->FieldName();
            wanted.append(c);
        }
    }
    for (const Column& c : wanted) {
        if (!c.visible) continue;
        GridModel::Col col;
        col.column = c;
        col.title = c.title.isEmpty() ? c.field : c.title;
        if (open) {
            if (const data::Field* f = ds->FindField(c.field)) col.fieldIndex = f->index();
        }
        // Keep a width the user set for the same column.
        for (const GridModel::Col& old : model_->cols)
            if (old.column.field == c.field && old.column.width < 0) col.column.width = old.column.width;
        cols.append(col);
    }
    model_->cols = cols;
}

void DBGrid::applyColumnWidths() {
    applyingWidths_ = true;
    const QFontMetrics cell = fontMetrics();
    const data::DataSet* ds = dataSet();
    for (int i = 0; i < model_->cols.size(); ++i) {
        const GridModel::Col& c = model_->cols[i];
        int px;
        if (c.column.width < 0) {
            px = -c.column.width;
        } else {
            int chars = c.column.width;
            if (chars <= 0) {
                const data::Field* f = ds && ds->Active() ? ds->FindField(c.column.field) : nullptr;
                chars = f ? f->DisplayWidth() : 10;
            }
            px = chars * cell.horizontalAdvance(QLatin1Char('0')) + 8;
            QFont tf = horizontalHeader()->font();
            tf.setBold(c.column.titleBold);
            px = std::max(px, QFontMetrics(tf).horizontalAdvance(c.title) + 12);
        }
        horizontalHeader()->resizeSection(i, px);
    }
    applyingWidths_ = false;
}

// --- keeping the window of rows ---

void DBGrid::dropEditor() {
    if (!editor_) return;
    QWidget* editor = editor_;
    const bool hadFocus = editor->hasFocus();
    suppressCommit_ = true;
    editor_ = nullptr;
    if (hadFocus) setFocus(Qt::OtherFocusReason); // the editor's focus-out closes it (nothing written)
    if (indexWidget(currentIndex()) == editor || state() == QAbstractItemView::EditingState)
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    suppressCommit_ = false;
}

void DBGrid::rebuild() {
    data::DataSet* ds = dataSet();
    QVector<GridModel::Line> lines;
    int current = -1;
    int insertAt = -1;
    if (ds && ds->Active()) {
        const int cap = std::max(1, capacity_);
        const int pos = std::clamp(model_->current < 0 ? 0 : model_->current, 0, cap - 1);
        auto toLines = [](const QVector<data::Row>& rows, bool reverse) {
            QVector<GridModel::Line> out;
            out.reserve(rows.size());
            for (const data::Row& r : rows)
                out.append({r.key, r.values, false});
            if (reverse) std::reverse(out.begin(), out.end());
            return out;
        };
        // `total` rows around `key`: `pos` of them before it when the table has them, the
        // rest from the key on, and more from above when the table ends too soon.
        auto around = [&](const data::RowKey& key, int before, int total, QVector<GridModel::Line>& above,
                          QVector<GridModel::Line>& below) {
            above = before > 0 ? toLines(ds->FetchRows(key, false, before, false), true)
                               : QVector<GridModel::Line>();
            below = toLines(ds->FetchRows(key, true, total - int(above.size()), true), false);
            const int missing = total - int(above.size() + below.size());
            if (missing > 0 && int(above.size()) == before && !(above.isEmpty() && below.isEmpty())) {
                const data::RowKey top = above.isEmpty() ? key : above.front().key;
                above = toLines(ds->FetchRows(top, false, missing, false), true) + above;
            }
        };
        bool ok = guardedRun([&] {
            const auto state = ds->State();
            if (state == data::DataSetState::Insert) {
                QVector<GridModel::Line> above, below;
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
                QVector<GridModel::Line> above, below;
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
        });
        if (!ok) {
            lines.clear();
            current = -1;
            insertAt = -1;
        }
    }

    bool same = lines.size() == model_->lines.size() && current == model_->current;
    for (int i = 0; same && i < lines.size(); ++i)
        same = lines[i].blank == model_->lines[i].blank && lines[i].key == model_->lines[i].key;
    if (same) {
        // The same rows in the same places: refresh in place, so an open editor stays.
        model_->lines = lines;
        model_->insertAt = insertAt;
        model_->rowsChanged(0, int(lines.size()) - 1);
    } else {
        dropEditor();
        syncing_ = true;
        model_->beginReset();
        model_->lines = lines;
        model_->current = current;
        model_->insertAt = insertAt;
        model_->endReset();
        syncing_ = false;
        applyColumnWidths();
    }
    syncCurrentIndex();
    updateBar();
}

void DBGrid::syncCurrentIndex() {
    if (model_->current < 0 || model_->cols.isEmpty()) return;
    int col = currentIndex().isValid() ? currentIndex().column() : 0;
    col = std::clamp(col, 0, int(model_->cols.size()) - 1);
    const QModelIndex idx = model_->index(model_->current, col);
    if (currentIndex() == idx && selectionModel()->isRowSelected(idx.row(), {})) return;
    syncing_ = true;
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncing_ = false;
}

void DBGrid::updateBar() {
    const data::DataSet* ds = dataSet();
    const bool active = ds && ds->Active() && !ds->IsEmpty();
    bar_->setEnabled(active);
    int v = 2;
    if (!active || ds->Bof())
        v = 0;
    else if (ds->Eof())
        v = 4;
    bar_->setSliderPosition(v);
    bar_->setValue(v);
}

void DBGrid::checkCapacity() {
    const int cap = visibleRowCapacity();
    if (cap == capacity_) return;
    capacity_ = cap;
    rebuild();
}

// --- data::DataLink ---

void DBGrid::activeChanged() {
    const data::DataSet* ds = dataSet();
    lastState_ = ds ? ds->State() : data::DataSetState::Inactive;
    appending_ = false;
    insertAnchor_.clear();
    dropEditor();
    syncing_ = true;
    model_->beginReset();
    resolveColumns();
    model_->lines.clear();
    model_->current = -1;
    model_->insertAt = -1;
    model_->endReset();
    syncing_ = false;
    applyColumnWidths();
    capacity_ = visibleRowCapacity();
    rebuild();
}

void DBGrid::stateChanged() {
    const data::DataSet* ds = dataSet();
    const auto now = ds ? ds->State() : data::DataSetState::Inactive;
    const auto before = lastState_;
    lastState_ = now;
    if (now == data::DataSetState::Insert && before != data::DataSetState::Insert) {
        appending_ = appendRequested_;
        insertAnchor_ = appending_ ? data::RowKey() : lastKey_;
        appendRequested_ = false;
        request(Sync::Rebuild);
    } else if (now == data::DataSetState::Edit && before == data::DataSetState::Browse) {
        // Same row, now being edited: only the marker and the values change.
        model_->rowsChanged(model_->current, model_->current);
    } else {
        if (now != data::DataSetState::Insert) appending_ = false;
        request(Sync::Rebuild);
    }
}

void DBGrid::recordChanged(data::Field*) {
    if (model_->current >= 0) model_->rowsChanged(model_->current, model_->current);
}

void DBGrid::dataSetScrolled() { request(Sync::Scroll); }

void DBGrid::followScroll() {
    data::DataSet* ds = dataSet();
    if (!ds || !ds->Active() || ds->State() == data::DataSetState::Insert || ds->IsEmpty()) {
        rebuild();
        return;
    }
    const data::RowKey key = ds->CurrentKey();
    const int row = model_->rowOfKey(key);
    if (row < 0 || model_->insertAt >= 0) {
        rebuild();
        return;
    }
    lastKey_ = key;
    if (row != model_->current) {
        dropEditor();
        const int old = model_->current;
        model_->current = row;
        model_->rowsChanged(old, old);
        model_->rowsChanged(row, row);
    }
    syncCurrentIndex();
    updateBar();
}

void DBGrid::dataSetChanged() { request(Sync::Rebuild); }

void DBGrid::updateData() {
    if (editor_ && editor_->isModified()) writeEditor(editor_);
}

void DBGrid::writeEditor(GridEditor* editor) {
    data::Field* f = fieldOfColumn(editor->column());
    if (!f) {
        editor->setModified(false);
        return;
    }
    if (!editor->mask.isEmpty()) editor->mask.validate(editor->displayText());
    f->SetAsString(editor->pendingValue());
    editor->setModified(false);
}

// --- editing in place ---

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!index.isValid() || index.row() != model_->current) return false;
    return QTableView::edit(index, trigger, event);
}

void DBGrid::commitData(QWidget* editor) {
    if (suppressCommit_) return;
    auto* e = dynamic_cast<GridEditor*>(editor);
    if (!e || !e->isModified()) return;
    commitFailed_ = !guardedRun([&] { writeEditor(e); });
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    auto* e = dynamic_cast<GridEditor*>(editor);
    if (commitFailed_ && !suppressCommit_) {
        // The cell's text was refused: the editor stays, selected, for the user to mend.
        commitFailed_ = false;
        if (e) {
            e->setFocus(Qt::OtherFocusReason);
            e->selectAll();
        }
        return;
    }
    commitFailed_ = false;
    const bool escaped = hint == QAbstractItemDelegate::RevertModelCache && !suppressCommit_;
    const bool typed = e && e->isModified();
    if (editor_ == e) editor_ = nullptr;
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
        // Tab in a cell leaves the grid, as Tab on the grid does.
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
        return;
    }
    QTableView::closeEditor(editor, hint);
    // Esc on a cell with nothing typed abandons the row's edit or the new row.
    if (escaped && !typed) {
        data::DataSet* ds = dataSet();
        if (ds && ds->Active() && isEditState(ds->State())) run([](data::DataSet& d) { d.Cancel(); });
    }
}

// --- moving ---

void DBGrid::gotoShownRow(int row) {
    if (row < 0 || row >= model_->lines.size() || row == model_->current) return;
    const GridModel::Line line = model_->lines[row];
    if (line.blank) return;
    run([&](data::DataSet& ds) { ds.GotoKey(line.key); });
    syncCurrentIndex();
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid() || current.row() == model_->current) return;
    // The view moved to another row on its own: move the dataset there afterwards (never
    // from inside the selection change).
    const int row = current.row();
    QMetaObject::invokeMethod(
        this, [this, row] { gotoShownRow(row); }, Qt::QueuedConnection);
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex cur = currentIndex();
    switch (action) {
    case MoveUp:
    case MoveDown:
    case MovePageUp:
    case MovePageDown:
        return cur; // rows are moved through the dataset (keyPressEvent)
    case MoveNext:
    case MovePrevious: {
        if (!cur.isValid()) return cur;
        const int step = action == MoveNext ? 1 : -1;
        for (int c = cur.column() + step; c >= 0 && c < model_->columnCount(); c += step)
            if (!isColumnHidden(c)) return model_->index(cur.row(), c);
        return cur;
    }
    case MoveHome:
    case MoveEnd:
        if (cur.isValid())
            return model_->index(cur.row(), action == MoveHome ? 0 : model_->columnCount() - 1);
        return cur;
    default:
        return QTableView::moveCursor(action, modifiers & ~Qt::ControlModifier);
    }
}

void DBGrid::keyboardSearch(const QString&) {}

void DBGrid::keyPressEvent(QKeyEvent* e) {
    data::DataSet* ds = dataSet();
    if (!ds || !ds->Active()) {
        QTableView::keyPressEvent(e);
        return;
    }
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const bool plain = mods == Qt::NoModifier;
    const auto untouchedInsert = [&] {
        return ds->State() == data::DataSetState::Insert && !ds->Modified() &&
               !(editor_ && editor_->isModified());
    };
    switch (e->key()) {
    case Qt::Key_Up:
        if (!plain) break;
        e->accept();
        if (untouchedInsert())
            run([](data::DataSet& d) { d.Cancel(); });
        else
            run([](data::DataSet& d) { d.Prior(); });
        return;
    case Qt::Key_Down:
        if (!plain) break;
        e->accept();
        if (untouchedInsert() && appending_) return; // already on the appended row
        run([&](data::DataSet& d) {
            d.CheckBrowseMode(); // the row being left is written (or dropped) first
            const data::RowKey before = d.CurrentKey();
            d.Next();
            // Past the last row: a new, empty row after it.
            if (d.Eof() && d.CurrentKey() == before && d.State() == data::DataSetState::Browse &&
                canModify()) {
                appendRequested_ = true;
                d.Insert();
                appendRequested_ = false;
            }
        });
        appendRequested_ = false;
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (!plain) break;
        e->accept();
        const int n = std::max(1, capacity_);
        run([&](data::DataSet& d) { d.MoveBy(e->key() == Qt::Key_PageUp ? -n : n); });
        return;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!ctrl) break;
        e->accept();
        if (e->key() == Qt::Key_Home)
            run([](data::DataSet& d) { d.First(); });
        else
            run([](data::DataSet& d) { d.Last(); });
        return;
    case Qt::Key_Insert:
        if (!plain) break;
        e->accept();
        if (canModify()) run([](data::DataSet& d) { d.Insert(); });
        return;
    case Qt::Key_Delete:
        if (!ctrl) break;
        e->accept();
        if (canModify() && (!ds->IsEmpty() || ds->State() == data::DataSetState::Insert)) {
            run([](data::DataSet& d) {
                if (MessageDlg(QStringLiteral("Delete record?"), MsgDlgType::Confirmation,
                               MsgButtons::OKCancel) == ModalResult::OK)
                    d.Delete();
            });
        }
        return;
    case Qt::Key_Escape:
        if (!plain) break;
        if (isEditState(ds->State())) {
            e->accept();
            run([](data::DataSet& d) { d.Cancel(); });
            return;
        }
        e->ignore();
        return;
    default:
        break;
    }
    QTableView::keyPressEvent(e);
}

void DBGrid::mousePressEvent(QMouseEvent* e) {
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (idx.isValid() && idx.row() != model_->current && idx.row() < model_->lines.size() &&
        !model_->lines[idx.row()].blank) {
        if (editor_ && editor_->isModified() && !guardedRun([&] { writeEditor(editor_); })) {
            e->accept();
            return;
        }
        const data::RowKey key = model_->lines[idx.row()].key;
        const int column = idx.column();
        bool moved = false;
        run([&](data::DataSet& d) { moved = d.GotoKey(key); });
        if (!moved) {
            e->accept();
            return;
        }
        if (model_->current >= 0) {
            syncing_ = true;
            selectionModel()->setCurrentIndex(model_->index(model_->current, column),
                                              QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
            syncing_ = false;
        }
        // A click that moves to another row only moves there: handing the press to the view
        // now would find the row selected and arm its delayed click-to-edit, which would
        // swallow the keys typed next and open an editor by itself.
        pressMovedRow_ = true;
        setFocus(Qt::MouseFocusReason);
        e->accept();
        return;
    }
    pressMovedRow_ = false;
    QTableView::mousePressEvent(e);
}

void DBGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (pressMovedRow_) {
        pressMovedRow_ = false;
        e->accept();
        return;
    }
    QTableView::mouseReleaseEvent(e);
}

void DBGrid::wheelEvent(QWheelEvent* e) {
    wheelRest_ += e->angleDelta().y();
    const int steps = wheelRest_ / 120;
    wheelRest_ -= steps * 120;
    e->accept();
    if (steps != 0) run([steps](data::DataSet& d) { d.MoveBy(-steps); });
}

void DBGrid::onBarAction(int action) {
    const int n = std::max(1, capacity_);
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        run([](data::DataSet& d) { d.Next(); });
        break;
    case QAbstractSlider::SliderSingleStepSub:
        run([](data::DataSet& d) { d.Prior(); });
        break;
    case QAbstractSlider::SliderPageStepAdd:
        run([n](data::DataSet& d) { d.MoveBy(n); });
        break;
    case QAbstractSlider::SliderPageStepSub:
        run([n](data::DataSet& d) { d.MoveBy(-n); });
        break;
    case QAbstractSlider::SliderToMinimum:
        run([](data::DataSet& d) { d.First(); });
        break;
    case QAbstractSlider::SliderToMaximum:
        run([](data::DataSet& d) { d.Last(); });
        break;
    default:
        return; // dragging: decided when released
    }
    updateBar();
}

// Leaving the grid for another control of the window drops a new row nothing was typed
// into; what was typed into a cell was written into the row when its editor closed.
void DBGrid::onFocusChanged(QWidget* old, QWidget* now) {
    if (!old || !now || now->window() != window()) return;
    const bool wasIn = old == this || isAncestorOf(old);
    const bool isIn = now == this || isAncestorOf(now);
    if (!wasIn || isIn) return;
    data::DataSet* ds = dataSet();
    if (!ds || !ds->Active()) return;
    if (ds->State() == data::DataSetState::Insert && !ds->Modified() && !(editor_ && editor_->isModified()))
        run([](data::DataSet& d) { d.Cancel(); });
}

// --- geometry ---

void DBGrid::updateGeometries() {
    if (inGeometry_) return;
    inGeometry_ = true;
    QTableView::updateGeometries();
    // Room for the grid's own row bar on the right of the rows.
    const int w = bar_->sizeHint().width();
    const QMargins m = viewportMargins();
    if (m.right() != w) setViewportMargins(m.left(), m.top(), w, m.bottom());
    const QRect vg = viewport()->geometry();
    const int hh = horizontalHeader()->isHidden() ? 0 : vg.top() - contentsRect().top();
    horizontalHeader()->setGeometry(vg.left(), vg.top() - hh, vg.width(), hh);
    bar_->setGeometry(vg.right() + 1, vg.top() - hh, w, vg.height() + hh);
    bar_->show();
    inGeometry_ = false;
}

void DBGrid::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    if (!inGeometry_) checkCapacity();
}

void DBGrid::showEvent(QShowEvent* e) {
    QTableView::showEvent(e);
    checkCapacity();
}

bool DBGrid::viewportEvent(QEvent* e) {
    const bool r = QTableView::viewportEvent(e);
    if (e->type() == QEvent::Resize && !inGeometry_) checkCapacity();
    return r;
}

} // namespace controls
