#pragma once
// The list of a look-up control: one column of a dataset, in the dataset's order, read a
// page at a time with FetchRows as the list is scrolled or searched. It never moves the
// dataset's cursor.
#include "data/dataset.h"
#include "data/datasource.h"
#include <QAbstractListModel>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

namespace controls::dbctl {

// The text a stored value shows as (what Field::AsString gives for the current row).
QString valueText(const QVariant& value);

class LookupList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LookupList(QObject* parent = nullptr);

    void setFields(const QString& listField, const QString& keyField);
    void setDataSet(data::DataSet* dataSet); // forgets the rows read
    data::DataSet* dataSet() const { return dataSet_; }
    bool listActive() const { return dataSet_ && dataSet_->Active(); }
    const QString& listField() const { return listField_; }
    const QString& keyField() const { return keyField_; }

    // Forgets the rows read; they are read again as they are needed.
    void reset();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

    QString text(int row) const;
    QVariant key(int row) const;
    // Rows are read until one is found; -1 when the list has none. Where the dataset's order
    // begins with the list field, the list seeks to the row instead and holds the rows from
    // there on (the row numbers then count from the first row held).
    int findKey(const QVariant& key);
    int findText(const QString& text);     // exact, case-sensitive
    int findPrefix(const QString& prefix); // ignoring case
    // The last rows of the list, read from the end; the index of the last row (-1: none).
    int seekLast();
    // Reads a page before the first row held; the number of rows added at the top.
    int fetchBefore();
    bool atStart() const { return atStart_; }
    // Only among the rows read so far.
    int findLoadedText(const QString& text) const;
    int findLoadedKey(const QVariant& key) const;
    // Makes sure row `row` has been read when the list has it.
    bool ensureRow(int row);
    void fetchAll();

    int pageSize() const { return pageSize_; }
    void setPageSize(int rows) { pageSize_ = rows > 0 ? rows : 1; }

private:
    struct Entry {
        data::RowKey rowKey;
        QString text;
        QVariant key;
    };
    bool fetchPage();
    int columnOf(const QString& fieldName) const;
    Entry entryOf(const data::Row& r) const;
    // Holds the rows from `first` on; false when the dataset cannot seek on the list field.
    bool seekFrom(const QVariant& value, QVector<data::Row>& first);
    void holdFrom(const QVector<data::Row>& rows, bool atStart, bool atEnd);

    data::DataSet* dataSet_ = nullptr;
    QString listField_, keyField_;
    QVector<Entry> rows_;
    bool atEnd_ = false;
    bool atStart_ = true; // the rows held begin with the list's first row
    int pageSize_ = 50;
};

// A data link that only reports that a list's rows may have changed.
class ListLink : public data::DataLink {
public:
    std::function<void()> onChange;
    void activeChanged() override {
        if (onChange) onChange();
    }
    void dataSetChanged() override {
        if (onChange) onChange();
    }
    // Lists `listField` (keyed by `keyField`) of `source`'s dataset in `list`; onChange
    // follows at once.
    void bindList(LookupList& list, data::DataSource* source, const QString& listField,
                  const QString& keyField) {
        list.setFields(listField, keyField);
        if (source == dataSource()) {
            if (onChange) onChange();
        } else {
            setDataSource(source); // tells activeChanged()
        }
    }
};

} // namespace controls::dbctl
