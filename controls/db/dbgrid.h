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
#include "controls/formobjects.h"
#include "data/dataset.h"
#include "data/datasource.h"
#include <QJsonArray>
#include <QPointer>
#include <QTableView>
#include <QVector>

class QScrollBar;

namespace controls {

namespace dbctl {
class GridModel;
class GridDelegate;
class GridEditor;
} // namespace dbctl

class DBGrid : public QTableView, public data::DataLink, public DataAware {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;                           // empty: the field's name
        Qt::Alignment alignment = Qt::AlignLeft; // values and title
        bool titleBold = false;
        bool visible = true;
        int width = 0; // characters; 0: the field's display width
    };

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    // Stored properties: dataSource, columns (a QJsonArray of column objects), readOnly.
    void bindData(const FormObjects& objects) override;
    void bind(data::DataSource* source) { setDataSource(source); }

    void setColumns(const QVector<Column>& columns); // none: every field of the dataset
    void setColumns(const QJsonArray& columns);
    const QVector<Column>& columns() const { return columns_; }
    static QVector<Column> columnsFromJson(const QJsonArray& columns);

    bool ReadOnly() const { return readOnly_; }
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

    // data::DataLink
    void activeChanged() override;
    void stateChanged() override;
    void recordChanged(data::Field* field) override;
    void dataSetScrolled() override;
    void dataSetChanged() override;
    void updateData() override;

protected:
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
    friend class dbctl::GridModel;
    friend class dbctl::GridDelegate;
    friend class dbctl::GridEditor;

    data::Field* fieldOfColumn(int column) const;
    bool cellEditable(int column) const;
    bool canModify() const;
    bool ensureEditing();
    void resolveColumns();
    void applyColumnWidths();
    // What the grid still has to do after notifications. During the grid's own operations
    // (a page down is many single moves) it is collected and done once at the end.
    enum class Sync { None, Scroll, Rebuild };
    void request(Sync s);
    void flush();
    void followScroll();
    void rebuild();
    void syncCurrentIndex();
    void updateBar();
    void dropEditor();
    void writeEditor(dbctl::GridEditor* editor);
    void checkCapacity();
    void onFocusChanged(QWidget* old, QWidget* now);
    void onBarAction(int action);
    void gotoShownRow(int row);
    bool run(const std::function<void(data::DataSet&)>& op); // guarded, on an open dataset

    dbctl::GridModel* model_;
    dbctl::GridDelegate* delegate_;
    QScrollBar* bar_;
    QVector<Column> columns_;
    bool readOnly_ = false;
    int capacity_ = 1;
    data::DataSetState lastState_ = data::DataSetState::Inactive;
    data::RowKey lastKey_;      // the current row's key as last seen in browse or edit
    data::RowKey insertAnchor_; // the row a new row was inserted in front of
    bool appendRequested_ = false;
    bool appending_ = false; // the new row stands after the last row
    bool syncing_ = false;
    bool pressMovedRow_ = false; // the last press moved to another row: its release opens no editor
    bool suppressCommit_ = false;
    bool commitFailed_ = false;
    bool inGeometry_ = false;
    bool applyingWidths_ = false;
    int wheelRest_ = 0;
    int busy_ = 0;
    Sync pending_ = Sync::None;
    QPointer<dbctl::GridEditor> editor_;
    QMetaObject::Connection focusConnection_;
};

} // namespace controls
