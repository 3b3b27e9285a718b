#pragma once
// A table cursor: reads one table of a database in an index's order, a few rows at a time
// (keyset seeks with LIMIT; it never reads the whole table to open, move, search or refresh).
#include "dataset.h"
#include <QStringList>

namespace data {

class FilterExpr;

class Table : public DataSet {
public:
    explicit Table(QString name = {});
    ~Table() override;

    const QString& TableName() const { return tableName_; }
    void SetTableName(const QString& t); // only while closed

    // Order: an index by name ("NAMEIndex") or a list of fields ("Name", "Message Type",
    // several separated by ';'). Setting either on an open table runs the browse check and
    // stays on the current row. An unknown index raises an EngineError naming it.
    const QString& IndexName() const { return indexName_; }
    void SetIndexName(const QString& index);
    const QString& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const QString& fields);
    QStringList orderFields() const; // the fields of the current order (empty: the row key)

    // Filter expressions: Field = 'text' (also <>, <, >, <=, >=, numbers), AND, OR, NOT,
    // parentheses, [Field Name] for names with blanks, '' inside a constant for a quote,
    // a constant ending in '*' (and longer than "*") compares a prefix. Case-sensitive,
    // whole-value compares. Setting Filter or Filtered on an open table runs the browse check
    // and goes to the first row. A filter that does not parse raises a DatabaseError.
    const QString& Filter() const { return filter_; }
    void SetFilter(const QString& filter);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on);

    bool AutoRefresh() const { return autoRefresh_; }
    void SetAutoRefresh(bool on) { autoRefresh_ = on; }

    // Key searches on the current order's first field.
    void SetKey() {} // records nothing
    // First row passing the filter whose first order field is >= text (cut to that field's
    // size), else the last row. Browse check first.
    void FindNearest(const QVariantList& keyValues);
    // Exact key: true and moved when a row's first order field equals the value.
    bool FindKey(const QVariantList& keyValues);

    int RecordCount() override;
    QVector<Row> FetchRows(const RowKey& key, bool forward, int count, bool inclusive) override;
    bool Locate(const QString& fieldName, const QVariant& value) override;
    bool SeekRows(const QString& fieldName, const QVariant& value, int count, QVector<Row>& out) override;

protected:
    void openCursor() override;
    void closeCursor() override;
    bool readFirst(Row& row) override;
    bool readLast(Row& row) override;
    bool readNext(const RowKey& from, Row& row) override;
    bool readPrior(const RowKey& from, Row& row) override;
    bool readRow(const RowKey& key, Row& row) override;
    RowKey insertRow(const QVector<QVariant>& values) override;
    void updateRow(const RowKey& key, const QVector<QVariant>& original,
                   const QVector<QVariant>& values) override;
    void deleteRow(const RowKey& key, const QVector<QVariant>& original) override;
    bool readNearest(const RowKey& key, Row& row) override; // the filter applies
    RowKey rowKeyOf(const RowKey& old, const QVector<QVariant>& values) const override;
    void rowsChanged() override;

public:
    struct Impl; // the cursor's state (table.cpp)

private:
    std::unique_ptr<Impl> d;
    void reorder();
    QString tableName_, indexName_, indexFieldNames_, filter_;
    bool filtered_ = false;
    bool autoRefresh_ = false;
};

} // namespace data
