#pragma once
// DBGrid: a table of a data source's rows with in-place editing.
//
// The grid shows a window of rows around the dataset's current row, read with FetchRows
// (a few pages, however large the table), and follows the cursor: moving in the grid moves
// the dataset (GotoKey, Next, Prior, MoveBy, First, Last), and a move of the dataset moves
// the grid's current row. Rows are edited in place and written by the dataset's browse check
// when the row is left; Esc abandons the edit; Insert opens a new row; moving down past the
// last row appends an empty row, dropped again when it is left untouched; Ctrl+Delete deletes
// the current row after "Delete record?".
//
// The rows come from GridRows (gridrows.h); the grid is the view, the cell editor and the
// keys, mouse and row bar that move the dataset.
#include "controls/db/gridrows.h"
#include "controls/formobjects.h"
#include <QJsonArray>
#include <QPointer>
#include <QTableView>
#include <QVector>

class QScrollBar;

namespace controls {

namespace dbctl {
class GridDelegate;
class GridEditor;
} // namespace dbctl

class DBGrid : public QTableView, public data::DataLink, public DataAware {
    Q_OBJECT
public:
    using Column = GridColumn;

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    // Stored properties: dataSource, columns (a QJsonArray of column objects), readOnly.
    void bindData(const FormObjects& objects) override;
    void bind(data::DataSource* source);

    void setColumns(const QVector<Column>& columns); // none: every field of the dataset
    void setColumns(const QJsonArray& columns);
    const QVector<Column>& columns() const { return model_->storedColumns(); }
    static QVector<Column> columnsFromJson(const QJsonArray& columns);

    bool ReadOnly() const { return model_->readOnly(); }
    void SetReadOnly(bool on);

    // What the grid shows: rows of the window (the current row included), the current
    // row's place in it, and the title and text of a shown column.
    int shownRowCount() const;
    int currentShownRow() const;
    int shownColumnCount() const;
    QString columnTitle(int column) const;
    QString cellText(int row, int column) const;
    bool isInsertRow(int row) const;
    // How many rows fit (the size of the window the grid reads).
    int visibleRowCapacity() const;
    QScrollBar* rowScrollBar() const { return bar_; }

    // data::DataLink: the rows follow the dataset through the model; the grid's own link
    // writes a cell's pending text into the row.
    void updateData() override;

protected:
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

protected slots:
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class dbctl::GridDelegate;
    friend class dbctl::GridEditor;

    bool ensureEditing();
    void applyColumnWidths();
    void syncCurrentIndex();
    void updateBar();
    void dropEditor();
    void writeEditor(dbctl::GridEditor* editor);
    void onFocusChanged(QWidget* old, QWidget* now);
    void onBarAction(int action);
    void gotoShownRow(int row);
    // A guarded operation on an open dataset; the rows are brought up to date once, after it.
    bool run(const std::function<void(data::DataSet&)>& op);

    GridRows* model_;
    dbctl::GridDelegate* delegate_;
    QScrollBar* bar_;
    bool syncing_ = false;       // the grid itself moves its current row or lays out columns
    bool pressMovedRow_ = false; // the last press moved to another row: its release opens no editor
    bool suppressCommit_ = false;
    bool commitFailed_ = false;
    bool inGeometry_ = false;
    int wheelRest_ = 0;
    QPointer<dbctl::GridEditor> editor_;
    QMetaObject::Connection focusConnection_;
};

} // namespace controls
