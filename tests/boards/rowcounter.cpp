#include "rowcounter.h"
#include "data/database.h"
#include <QSqlDriver>
#include <sqlite3.h>
#include <stdexcept>

namespace boardtest {

RowCounter::RowCounter(const QString& alias) {
    const QVariant h = data::Database::forAlias(alias).connection().driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        throw std::runtime_error("the alias is not an SQLite database");
    handle_ = *static_cast<sqlite3* const*>(h.constData());
    sqlite3_trace_v2(static_cast<sqlite3*>(handle_), SQLITE_TRACE_ROW | SQLITE_TRACE_PROFILE,
                     reinterpret_cast<int (*)(unsigned, void*, void*, void*)>(&RowCounter::trace), this);
}

RowCounter::~RowCounter() {
    if (handle_) sqlite3_trace_v2(static_cast<sqlite3*>(handle_), 0, nullptr, nullptr);
}

void RowCounter::reset() {
    rows_ = sorts_ = fullScanSteps_ = 0;
    statements_ = 0;
    sorted_.clear();
}

int RowCounter::trace(unsigned type, void* self, void* p, void*) {
    auto* c = static_cast<RowCounter*>(self);
    auto* st = static_cast<sqlite3_stmt*>(p);
    if (type == SQLITE_TRACE_ROW) {
        ++c->rows_;
    } else if (type == SQLITE_TRACE_PROFILE) {
        // The statements are cached and run again: take their counters and start them afresh.
        ++c->statements_;
        const int sorts = sqlite3_stmt_status(st, SQLITE_STMTSTATUS_SORT, 1);
        c->sorts_ += sorts;
        c->fullScanSteps_ += sqlite3_stmt_status(st, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1);
        if (sorts) c->sorted_ << QString::fromUtf8(sqlite3_sql(st));
    }
    return 0;
}

} // namespace boardtest
