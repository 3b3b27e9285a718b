#include "controls/db/dbgrid.h"

#include "controls/application.h"
#include "controls/db/fieldlink.h"
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
            if (!typed.isEmpty() && typed.at(0).isPrint() && isNumberField(grid_->model_->fieldOf(column_)) &&
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
        if (const data::Field* f = grid_->model_->fieldOf(index.column())) {
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

// Shows the new row begun by Down on the last row after it, also when a handler of the
// dataset raises after the row is begun.
struct NewRowLast {
    GridRows* rows;
    ~NewRowLast() { rows->showNewRowLast(); }
};

} // namespace

// ------------------------------------------------------------------------------ DBGrid

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent), model_(new GridRows(this)), delegate_(new dbctl::GridDelegate(this)),
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
        // A width the user dragged stays for this column.
        if (!syncing_) model_->setUserWidth(section, size);
    });
    // A new window of rows: the editor of the old one goes first, and the columns lose
    // their widths with the reset.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        dropEditor();
        syncing_ = true;
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        syncing_ = false;
    });
    connect(model_, &GridRows::windowChanged, this, [this] {
        syncCurrentIndex();
        updateBar();
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
    model_->setTitleFont(horizontalHeader()->font());
    model_->setCapacitySource([this] { return visibleRowCapacity(); });
    updateBar();
}

DBGrid::~DBGrid() { disconnect(focusConnection_); }

void DBGrid::bindData(const FormObjects& objects) {
    QVector<Column> columns = model_->storedColumns();
    const QVariant cols = property("columns");
    if (cols.isValid()) {
        if (cols.canConvert<QJsonArray>() && cols.typeId() == QMetaType::QJsonArray)
            columns = columnsFromJson(cols.value<QJsonArray>());
        else if (cols.typeId() == QMetaType::QJsonValue)
            columns = columnsFromJson(cols.toJsonValue().toArray());
        else
            columns = columnsFromJson(QJsonArray::fromVariantList(cols.toList()));
    }
    model_->setReadOnly(dbctl::boolProperty(this, "readOnly", false));
    data::DataSource* source = dbctl::sourceProperty(this, "dataSource", objects);
    setDataSource(source);
    model_->show(source, columns);
}

void DBGrid::bind(data::DataSource* source) {
    setDataSource(source);
    model_->setDataSource(source);
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

void DBGrid::setColumns(const QVector<Column>& columns) { model_->show(model_->dataSource(), columns); }

void DBGrid::setColumns(const QJsonArray& columns) { setColumns(columnsFromJson(columns)); }

void DBGrid::SetReadOnly(bool on) { model_->setReadOnly(on); }

// --- what the grid shows ---

int DBGrid::shownRowCount() const { return model_->rowCount(); }
int DBGrid::currentShownRow() const { return model_->currentRow(); }
int DBGrid::shownColumnCount() const { return model_->columnCount(); }
QString DBGrid::columnTitle(int column) const { return model_->columnTitle(column); }
QString DBGrid::cellText(int row, int column) const { return model_->text(row, column); }
bool DBGrid::isInsertRow(int row) const { return model_->isNewRow(row); }

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

bool DBGrid::ensureEditing() {
    data::DataSet* ds = dataSet();
    if (!model_->canModify()) return false;
    if (isEditState(ds->State())) return true;
    if (!dataSource()->AutoEdit()) return false;
    runGuarded([ds] { ds->Edit(); });
    return isEditState(ds->State());
}

bool DBGrid::run(const std::function<void(data::DataSet&)>& op) {
    data::DataSet* ds = dataSet();
    if (!ds || !ds->Active()) return false;
    std::exception_ptr error;
    model_->beginBatch();
    try {
        op(*ds);
    } catch (...) {
        error = std::current_exception();
    }
    model_->endBatch();
    if (error) runGuarded([&] { std::rethrow_exception(error); }); // the default error box
    return !error;
}

void DBGrid::applyColumnWidths() {
    const QFontMetrics cell = fontMetrics();
    for (int i = 0; i < model_->columnCount(); ++i) {
        const Column& c = model_->column(i);
        int px;
        if (c.width < 0) {
            px = -c.width;
        } else {
            int chars = c.width;
            if (chars <= 0) {
                const data::Field* f = model_->fieldOf(i);
                chars = f ? f->DisplayWidth() : 10;
            }
            px = chars * cell.horizontalAdvance(QLatin1Char('0')) + 8;
            QFont tf = horizontalHeader()->font();
            tf.setBold(c.titleBold);
            px = std::max(px, QFontMetrics(tf).horizontalAdvance(model_->columnTitle(i)) + 12);
        }
        horizontalHeader()->resizeSection(i, px);
    }
}

// --- keeping up with the rows ---

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

void DBGrid::syncCurrentIndex() {
    const int row = model_->currentRow();
    if (row < 0 || model_->columnCount() == 0) return;
    int col = currentIndex().isValid() ? currentIndex().column() : 0;
    col = std::clamp(col, 0, model_->columnCount() - 1);
    const QModelIndex idx = model_->index(row, col);
    if (currentIndex() == idx && selectionModel()->isRowSelected(idx.row(), {})) return;
    if (currentIndex().row() != row) dropEditor(); // it edits the row being left
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

// --- data::DataLink ---

void DBGrid::updateData() {
    if (editor_ && editor_->isModified()) writeEditor(editor_);
}

void DBGrid::writeEditor(GridEditor* editor) {
    data::Field* f = model_->fieldOf(editor->column());
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
    if (!index.isValid() || index.row() != model_->currentRow()) return false;
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
    if (row == model_->currentRow()) return;
    const data::RowKey key = model_->keyOfRow(row);
    if (key.isEmpty()) return; // no such row, or a blank one
    run([&](data::DataSet& ds) { ds.GotoKey(key); });
    syncCurrentIndex();
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid() || current.row() == model_->currentRow()) return;
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
        if (untouchedInsert() && model_->newRowIsLast()) return; // already on the appended row
        run([&](data::DataSet& d) {
            d.CheckBrowseMode(); // the row being left is written (or dropped) first
            const data::RowKey before = d.CurrentKey();
            d.Next();
            // Past the last row: a new, empty row after it.
            if (d.Eof() && d.CurrentKey() == before && d.State() == data::DataSetState::Browse &&
                model_->canModify()) {
                const NewRowLast last{model_};
                d.Insert();
            }
        });
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (!plain) break;
        e->accept();
        const int n = std::max(1, model_->capacity());
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
        if (model_->canModify()) run([](data::DataSet& d) { d.Insert(); });
        return;
    case Qt::Key_Delete:
        if (!ctrl) break;
        e->accept();
        if (model_->canModify() && (!ds->IsEmpty() || ds->State() == data::DataSetState::Insert)) {
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
    const data::RowKey key = idx.isValid() ? model_->keyOfRow(idx.row()) : data::RowKey();
    if (idx.row() != model_->currentRow() && !key.isEmpty()) {
        if (editor_ && editor_->isModified() && !guardedRun([&] { writeEditor(editor_); })) {
            e->accept();
            return;
        }
        const int column = idx.column();
        bool moved = false;
        run([&](data::DataSet& d) { moved = d.GotoKey(key); });
        if (!moved) {
            e->accept();
            return;
        }
        if (model_->currentRow() >= 0) {
            syncing_ = true;
            selectionModel()->setCurrentIndex(model_->index(model_->currentRow(), column),
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
    const int n = std::max(1, model_->capacity());
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

void DBGrid::changeEvent(QEvent* e) {
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange) model_->setTitleFont(horizontalHeader()->font());
}

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
    if (!inGeometry_) model_->updateCapacity();
}

void DBGrid::showEvent(QShowEvent* e) {
    QTableView::showEvent(e);
    model_->updateCapacity();
}

bool DBGrid::viewportEvent(QEvent* e) {
    const bool r = QTableView::viewportEvent(e);
    if (e->type() == QEvent::Resize && !inGeometry_) model_->updateCapacity();
    return r;
}

} // namespace controls
