#pragma once
// A query: stored SQL text in the layouts' local dialect (correlation names, [Field Name]
// for names with blanks), run once when opened; read-only, in the query's field order.
// Rows are fetched as they are read, from a statement that keeps the snapshot it started
// with, so opening a query over a large table does not read it all.
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
