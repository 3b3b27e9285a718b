// Transactions: StartTransaction/Commit/Rollback with the datasets' restore, and the
// one-statement write scope.
#include "database_p.h"
#include "deferrederror.h"

namespace data {

// BEGIN, COMMIT, ROLLBACK: cached statements on SQLite; other engines prepare no such thing.
static void runPlain(Database& db, const QString& sql, Engine engine) {
    if (engine == Engine::Sqlite) {
        db.run(sql, {});
        return;
    }
    db.ensureConnected();
    QSqlQuery q(db.connection());
    if (!q.exec(sql)) throw db.failure(q.lastError());
}

static void rollbackQuietly(Database& db) {
    if (db.connectionLost()) return; // the server rolled back what the connection held
    try {
        runPlain(db, "ROLLBACK", engineOf(db.config().driver));
    } catch (...) {
        // nothing was begun, or the engine rolled back already
    }
}

void Database::StartTransaction() {
    if (depth_ == 0) {
        runPlain(*this, dialect_->beginWrite(), d->engine);
        d->written.clear();
    }
    ++depth_;
}

void Database::Commit() {
    if (depth_ == 0) throw EngineError("No transaction is active", ErrorKind::InvalidState);
    if (--depth_ > 0) return;
    try {
        runPlain(*this, "COMMIT", d->engine);
    } catch (...) {
        ++depth_;
        try {
            Rollback();
        } catch (...) {
            // the commit's error is the one raised; the restore's comes after it
            reportCurrentExceptionDeferred();
        }
        throw;
    }
    d->written.clear();
}

void Database::Rollback() {
    if (depth_ == 0) return;
    depth_ = 0;
    rollbackQuietly(*this);
    // what was stored inside is gone: each dataset goes back to how it stood before its post
    auto written = std::move(d->written);
    d->written.clear();
    std::exception_ptr first;
    for (auto it = written.rbegin(); it != written.rend(); ++it) {
        try {
            it->first->restore(it->second);
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

Transaction::~Transaction() {
    if (done_) return;
    try {
        db_.Rollback();
    } catch (...) {
        reportCurrentExceptionDeferred();
    }
}

void Database::noteWrite(DataSet* ds) {
    if (depth_ == 0) return;
    for (const auto& w : d->written)
        if (w.first == ds) return; // back to the state before its first post in this transaction
    d->written.emplace_back(ds, ds->snapshot());
}

void Database::forgetDataSet(DataSet* ds) {
    std::erase_if(d->written, [ds](const auto& w) { return w.first == ds; });
}

Database::WriteScope::WriteScope(Database& db) : db_(db) {
    if (!db_.InTransaction()) {
        runPlain(db_, db_.dialect().beginWrite(), db_.d->engine);
        own_ = true;
    }
}

Database::WriteScope::~WriteScope() {
    if (own_ && !done_) rollbackQuietly(db_);
}

void Database::WriteScope::commit() {
    if (own_ && !done_)
        runPlain(db_, "COMMIT", db_.d->engine); // a failed commit is rolled back by the destructor
    done_ = true;
}

} // namespace data
