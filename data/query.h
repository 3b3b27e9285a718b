#pragma once
// A query: stored SQL text in the layouts' local dialect (correlation names, [Field Name]
// for names with blanks), run once when opened; read-only, in the query's field order.
// Opening reads the first rows only; a result that ends among them is held whole (the rows
// as selected when the query ran). Longer results are read on as they are needed, keeping a
// bounded window of rows, and no statement stays open while the desk is idle. Where the
// order begins with an ascending column, a long result is searched and read from its end
// by key (the statement re-run from a value of that column with a LIMIT).
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
    // By key where the order begins with an ascending column of the result and the result is
    // longer than the rows read at its opening (else as every dataset does).
    bool SeekRows(const QString& fieldName, const QVariant& value, int count, QVector<Row>& out) override;
    bool Locate(const QString& fieldName, const QVariant& value) override;

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
