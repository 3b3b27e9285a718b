#pragma once
// GridRows: the rows a data grid shows, as an item model of its own.
//
// A window of the dataset's rows around its current row, read with FetchRows (a few pages,
// however large the table), plus the pending new row while the dataset is inserting. It
// follows the dataset through its data source: a move within the window only moves the
// current row; anything else reads the window again around the cursor. The current row shows
// the field values (the row being edited); the others show the values as read.
#include "data/dataset.h"
#include "data/datasource.h"
#include <QAbstractTableModel>
#include <QFont>
#include <QVector>
#include <functional>

namespace controls {

// A stored grid column.
struct GridColumn {
    QString field;
    QString title;                           // empty: the field's name
    Qt::Alignment alignment = Qt::AlignLeft; // values and title
    bool titleBold = false;
    bool visible = true;
    int width = 0; // characters; 0: the field's display width; below 0: pixels the user set
};

class GridRows : public QAbstractTableModel, public data::DataLink {
    Q_OBJECT
public:
    explicit GridRows(QObject* parent = nullptr);

    // The stored columns (none: every field of the dataset) and the source to show; the
    // window is read afresh.
    void show(data::DataSource* source, const QVector<GridColumn>& columns);
    const QVector<GridColumn>& storedColumns() const { return stored_; }

    // How many rows the window holds, asked again when the rows are read for an opened
    // dataset and on updateCapacity().
    void setCapacitySource(std::function<int()> capacity);
    int capacity() const { return capacity_; }
    void updateCapacity(); // reads the window again when the capacity changed

    // A read-only grid offers no cell for editing.
    void setReadOnly(bool on);
    bool readOnly() const { return readOnly_; }
    bool canModify() const;              // the dataset takes changes through this grid
    bool cellEditable(int column) const; // the current row's cell may be typed into

    // The title font; a bold title is this font in bold.
    void setTitleFont(const QFont& font) { titleFont_ = font; }

    // Operations of the grid's own (a page down is many single moves): what the dataset
    // tells meanwhile is collected and the window brought up to date once, at the end.
    void beginBatch() { ++batch_; }
    void endBatch();
    // The new row the dataset has just begun shows after the last row, not in front of
    // the row it was begun on.
    void showNewRowLast();

    // What the window shows.
    int currentRow() const { return current_; }
    bool isNewRow(int row) const { return row >= 0 && row == insertAt_; }
    bool newRowIsLast() const { return appending_; }
    // The dataset's row shown in a row of the window; empty for a blank row.
    data::RowKey keyOfRow(int row) const;
    QString text(int row, int column) const;
    const GridColumn& column(int column) const { return cols_[column].column; }
    QString columnTitle(int column) const;
    data::Field* fieldOf(int column) const; // nullptr: no such field or the dataset is closed
    void setUserWidth(int column, int pixels);

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // data::DataLink
    void activeChanged() override;
    void stateChanged() override;
    void recordChanged(data::Field* field) override;
    void dataSetScrolled() override;
    void dataSetChanged() override;

signals:
    // The window was read or its current row moved: views put their current row on it.
    void windowChanged();

private:
    struct Line {
        data::RowKey key;
        QVector<QVariant> values;
        bool blank = false; // the new row, or the one empty row of an empty dataset
    };
    struct Col {
        GridColumn column;
        int fieldIndex = -1;
        QString title;
    };
    enum class Sync { None, Scroll, Reload };

    void request(Sync s);
    void flush();
    void resolveColumns();
    void reload();
    void follow();
    void rowsChanged(int first, int last);
    int rowOfKey(const data::RowKey& key) const;

    QVector<GridColumn> stored_;
    QVector<Col> cols_;
    QVector<Line> lines_;
    int current_ = -1;
    int insertAt_ = -1;
    std::function<int()> capacitySource_;
    int capacity_ = 1;
    bool readOnly_ = false;
    QFont titleFont_;
    // Where a new row stands: after the last row, or in front of the row it was begun on.
    data::DataSetState lastState_ = data::DataSetState::Inactive;
    data::RowKey lastKey_; // the current row's key as last seen in browse or edit
    data::RowKey insertAnchor_;
    bool appending_ = false;
    int batch_ = 0;
    Sync pending_ = Sync::None;
};

} // namespace controls
