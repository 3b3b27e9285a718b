#pragma once
// Counts the rows that SQLite's statements hand out on every connection the data layer opens
// while the counter lives (its main connection and the queries' snapshot connections), and
// the steps of full table scans. Uses SQLite's own trace interface.
#include <QSqlDatabase>

namespace scaletest {

class EngineCounter {
public:
    EngineCounter(); // counts on the connections opened from now on
    ~EngineCounter();
    EngineCounter(const EngineCounter&) = delete;
    EngineCounter& operator=(const EngineCounter&) = delete;

    void watch(const QSqlDatabase& c); // an already open connection of the layer
    void reset() { rows_ = fullScanSteps_ = 0; }
    long long rows() const { return rows_; }
    long long fullScanSteps() const { return fullScanSteps_; }

private:
    static int trace(unsigned type, void* self, void* p, void* x);
    long long rows_ = 0, fullScanSteps_ = 0;
};

} // namespace scaletest
