#pragma once
// Counts what the database engine does for the data layer's connection of an alias: the rows
// its statements hand out, the sorts it had to make (a sort reads every row it orders) and the
// steps of full table scans. Uses SQLite's own trace interface on the layer's connection.
#include <QString>
#include <QStringList>

namespace boardtest {

class RowCounter {
public:
    explicit RowCounter(const QString& alias); // starts counting now
    ~RowCounter();                             // stops
    RowCounter(const RowCounter&) = delete;
    RowCounter& operator=(const RowCounter&) = delete;

    void reset();
    long long rows() const { return rows_; }
    long long sorts() const { return sorts_; }
    long long fullScanSteps() const { return fullScanSteps_; }
    int statements() const { return statements_; }
    QStringList sortedStatements() const { return sorted_; } // the SQL of those that sorted

private:
    static int trace(unsigned type, void* self, void* p, void* x);
    void* handle_ = nullptr;
    long long rows_ = 0, sorts_ = 0, fullScanSteps_ = 0;
    int statements_ = 0;
    QStringList sorted_;
};

} // namespace boardtest
