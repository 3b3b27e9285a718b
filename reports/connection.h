#pragma once
// Report data connections: a named component that hands one dataset of a window to the
// report engine. A report finds its connection by name (without regard to case); while the
// report reads, the connection owns the dataset's state and afterwards puts it back exactly
// as it found it: open or closed, filter text and switch, current row, controls following.
#include "data/dataset.h"
#include <QList>
#include <QString>
#include <QVector>

namespace reports {

class DataConnection {
public:
    // Over a query (RvQueryConnection) or a table (RvDataSetConnection); the connection
    // lives as long as the window that holds it and never owns the dataset.
    DataConnection(QString name, data::DataSet* dataSet);
    ~DataConnection();
    DataConnection(const DataConnection&) = delete;
    DataConnection& operator=(const DataConnection&) = delete;

    const QString& name() const { return name_; }
    data::DataSet* dataSet() const { return dataSet_; }

    // Every live connection, in the order they were made.
    static const QList<DataConnection*>& all();
    // The connections bearing this name, compared without regard to case.
    static QList<DataConnection*> named(const QString& name);

    // --- used by the engine while a report runs ---
    // Stores a pending edit, notes the state, stops the controls following and makes the
    // dataset read the rows as they stand now: a query runs its statement again, a closed
    // table opens.
    void open();
    // The fields in the order the dataset presents them.
    const QVector<data::Field*>& fields() const;
    // Up to count rows after key (an empty key: from the first row), in the dataset's order,
    // passing the filter in force. The dataset's cursor does not move.
    QVector<data::Row> fetch(const data::RowKey& after, int count);
    // Puts everything back; safe to call when open() failed half-way.
    void close();
    bool isOpen() const { return open_; }

private:
    QString name_;
    data::DataSet* dataSet_;
    bool open_ = false;
    bool wasActive_ = false;
    bool controlsDisabled_ = false;
    data::RowKey key_;
    bool hadRow_ = false;
};

} // namespace reports
