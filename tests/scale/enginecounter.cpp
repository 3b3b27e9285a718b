#include "enginecounter.h"
#include "data/database.h"
#include <QSqlDriver>
#include <sqlite3.h>

namespace scaletest {

namespace {
// Connections may close before the counter ends (the layer keeps one spare snapshot
// connection), so the trace reports to whichever counter is current, if any.
EngineCounter* current = nullptr;
} // namespace

EngineCounter::EngineCounter() {
    current = this;
    data::Database::setConnectionObserver([](const QSqlDatabase& c) {
        if (current) current->watch(c);
    });
}

EngineCounter::~EngineCounter() {
    data::Database::setConnectionObserver({});
    current = nullptr;
}

void EngineCounter::watch(const QSqlDatabase& c) {
    const QVariant h = c.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0) return;
    sqlite3_trace_v2(*static_cast<sqlite3* const*>(h.constData()), SQLITE_TRACE_ROW | SQLITE_TRACE_PROFILE,
                     reinterpret_cast<int (*)(unsigned, void*, void*, void*)>(&EngineCounter::trace),
                     nullptr);
}

int EngineCounter::trace(unsigned type, void*, void* p, void*) {
    if (!current) return 0;
    if (type == SQLITE_TRACE_ROW)
        ++current->rows_;
    else if (type == SQLITE_TRACE_PROFILE)
        current->fullScanSteps_ +=
            sqlite3_stmt_status(static_cast<sqlite3_stmt*>(p), SQLITE_STMTSTATUS_FULLSCAN_STEP, 1);
    return 0;
}

} // namespace scaletest
