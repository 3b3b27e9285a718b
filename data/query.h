#pragma once
// A query: stored SQL text in the layouts' local dialect (correlation names, [Field Name]
// for names with blanks), run once when opened; read-only, in the query's field order.
// Opening reads the first rows only; a result that ends among them is held whole (the rows
// as selected when the query ran). Longer results are read on as they are needed, keeping a
// bounded window of rows, and no statement stays open while the desk is idle.
#include "dataset.h"
#include <QStringList>

namespace data {

class Query : public DataSet {
public:
    explicit Query(QString name = {});
    ~Query() override;

    const QStringList& SQL() const { return sql_; }
    void SetSQL(const QStringList& lines); // only while closed

    bool CanModify() const override { return false; }
    int RecordCount() override;
    int BufferedRows() const; // rows held in memory now
    QVector<Row> FetchRows(const RowKey& key, bool forward, int count, bool inclusive) override;

protected:
    void openCursor() override;
    void closeCursor() override;
    bool readFirst(Row& row) override;
    bool readLast(Row& row) override;
    bool readNext(const RowKey& from, Row& row) override;
    bool readPrior(const RowKey& from, Row& row) override;
    bool readRow(const RowKey& key, Row& row) override;
    RowKey insertRow(const QVector<QVariant>& values) override; // raise: read-only
    void updateRow(const RowKey&, const QVector<QVariant>&, const QVector<QVariant>&) override;
    void deleteRow(const RowKey&, const QVector<QVariant>&) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QStringList sql_;
};

} // namespace data
