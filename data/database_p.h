#pragma once
// Shared by the files of the database engine (connections, the native SQLite path, the
// catalogue, transactions); not part of the layer's interface.
#include "database.h"
#include "dataset.h"
#include <QHash>
#include <QSqlError>
#include <QSqlField>
#include <list>
#include <sqlite3.h>
#include <unordered_map>

namespace data {

enum class Engine { Sqlite, Postgres, Odbc };

Engine engineOf(const QString& driver);

struct Database::Impl {
    Engine engine = Engine::Sqlite;
    QString connName;
    QString sqliteUri; // for the snapshot connections
    // prepared statements, most recently used first
    struct Entry {
        QString sql;
        QSqlQuery query;
    };
    std::list<Entry> lru;
    std::unordered_map<QString, std::list<Entry>::iterator> bySql;
    // the same for run() on SQLite: the engine's own statements on the driver's handle
    sqlite3* handle = nullptr;
    struct NativeEntry {
        QString sql;
        sqlite3_stmt* stmt;
    };
    std::list<NativeEntry> nativeLru;
    std::unordered_map<QString, std::list<NativeEntry>::iterator> nativeBySql;

    void clearNative() {
        for (auto& e : nativeLru)
            sqlite3_finalize(e.stmt);
        nativeLru.clear();
        nativeBySql.clear();
    }
    QHash<QString, QVector<ColumnInfo>> columnCache;
    QHash<QString, QString> pkCache;
    QHash<QString, QString> physicalNames; // lower-case name -> as spelt
    QStringList idleSnapshots, busySnapshots;
    bool lost = false; // the server connection broke off: the next operation opens it anew
    // datasets that wrote inside the running transaction, with their state before that
    std::vector<std::pair<DataSet*, DataSet::Snapshot>> written;

    static constexpr size_t maxPrepared = 512;
};

// The engine's error as the desk reads it ("Key violation.", the busy note, else its text),
// with its kind.
EngineError engineError(const QSqlError& e, Engine engine);
// The engine's last error on a native SQLite handle (a full disk told apart from other I/O errors).
EngineError sqliteError(sqlite3* db);
// A column of the native statement's current row, as Qt's driver would give it.
QVariant sqliteColumnValue(sqlite3_stmt* st, int i);
[[noreturn]] void throwOpenError(const AliasConfig& cfg, const QSqlError& e);

// Whether run() may use the engine's own statements on the driver's handle of c: only when
// Qt's SQLite driver and this program use one and the same SQLite library (two copies in one
// process would each keep their own locks and state). Otherwise, or with
// QUORVALE_SQLITE_NATIVE=off, run() goes through Qt's driver; a differing library is noted
// in the log once.
bool nativeSqliteUsable(const QSqlDatabase& c);

// The catalogue's reading of column types.
FieldType typeFromDeclaration(const QString& decl, bool pk, int& size);
FieldType typeFromMeta(const QSqlField& f, bool pk);

} // namespace data
