// The native SQLite statement path of Database::run(): the engine's own statements on the
// Qt driver's handle; other engines go through Qt's driver.
#include "database_p.h"
#include <QDateTime>
#include <cerrno>
#include <cstring>
#include <QSqlRecord>
#include <QtGlobal>
#if defined(__linux__)
#include <link.h>
#endif

namespace data {

#if defined(__linux__)
// The SQLite libraries loaded into the process (a driver built with its own copy adds one).
static int loadedSqliteLibraries() {
    int n = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* count) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "libsqlite3")) ++*static_cast<int*>(count);
            return 0;
        },
        &n);
    return n;
}
#endif

bool nativeSqliteUsable(const QSqlDatabase& c) {
    if (qEnvironmentVariable("QUORVALE_SQLITE_NATIVE").compare("off", Qt::CaseInsensitive) == 0) return false;
    static int shared = -1; // decided at the first connection
    if (shared < 0) {
        QSqlQuery q(c);
        const QString ours = QString::fromUtf8(sqlite3_sourceid());
        const QString theirs =
            q.exec("SELECT sqlite_source_id()") && q.next() ? q.value(0).toString() : QString();
        q.finish();
        bool same = theirs == ours;
#if defined(__linux__)
        same = same && loadedSqliteLibraries() <= 1;
#endif
        shared = same ? 1 : 0;
        if (!same)
            qWarning("quorvale: Qt's SQLite driver uses another SQLite library (%s) than the program (%s); "
                     "statements go through Qt's driver",
                     qPrintable(theirs.isEmpty() ? QStringLiteral("unknown") : theirs), qPrintable(ours));
    }
    return shared == 1;
}

bool Database::nativeStatements() const { return d->handle != nullptr; }

EngineError sqliteError(sqlite3* db) {
    // a write that met a full disk may read as a mere I/O error
    const int code = sqlite3_system_errno(db) == ENOSPC ? SQLITE_FULL : sqlite3_extended_errcode(db);
    QSqlError e(QString(), QString::fromUtf8(sqlite3_errmsg(db)), QSqlError::StatementError,
                QString::number(code));
    return engineError(e, Engine::Sqlite);
}

QVariant sqliteColumnValue(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, i);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                 sqlite3_column_bytes(st, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i));
    default:
        return {};
    }
}

static void bindNative(sqlite3_stmt* st, int i, const QVariant& v) {
    if (v.isNull() || !v.isValid()) {
        sqlite3_bind_null(st, i);
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        sqlite3_bind_int64(st, i, v.toLongLong());
        return;
    case QMetaType::ULongLong:
        sqlite3_bind_int64(st, i, sqlite3_int64(v.toULongLong()));
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(st, i, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDateTime: {
        // as Qt's driver stores them, so both paths read and compare alike
        const QByteArray t = v.toDateTime().toString(Qt::ISODateWithMs).toUtf8();
        sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDate: {
        const QByteArray t = v.toDate().toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QString text = v.toString();
        sqlite3_bind_text16(st, i, text.utf16(), int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
        return;
    }
    }
}

int Database::run(const QString& sql, const QVariantList& values, const RowSink& onRow, QVariant* insertId) {
    if (!d->handle) {
        // other engines: through Qt's driver
        QSqlQuery& q = prepared(sql);
        exec(q, values);
        int changed = 0;
        if (q.isSelect()) {
            struct QtRow : ResultRow {
                QSqlQuery* q;
                int n;
                int count() const override { return n; }
                QVariant value(int i) const override { return q->value(i); }
            } row;
            row.q = &q;
            row.n = q.record().count();
            while (q.next())
                if (onRow) onRow(row);
        } else {
            changed = q.numRowsAffected();
            if (insertId) *insertId = q.lastInsertId();
        }
        q.finish();
        return changed;
    }
    sqlite3_stmt* st = nullptr;
    auto it = d->nativeBySql.find(sql);
    if (it != d->nativeBySql.end()) {
        d->nativeLru.splice(d->nativeLru.begin(), d->nativeLru, it->second);
        st = it->second->stmt;
    } else {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v3(d->handle, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &st,
                               nullptr) != SQLITE_OK) {
            const EngineError err = sqliteError(d->handle);
            sqlite3_finalize(st);
            throw EngineError(QString("%1\n(%2)").arg(err.message(), sql), err.kind());
        }
        if (d->nativeLru.size() >= Impl::maxPrepared) {
            sqlite3_finalize(d->nativeLru.back().stmt);
            d->nativeBySql.erase(d->nativeLru.back().sql);
            d->nativeLru.pop_back();
        }
        d->nativeLru.push_front(Impl::NativeEntry{sql, st});
        d->nativeBySql.emplace(sql, d->nativeLru.begin());
    }
    struct Reset {
        sqlite3_stmt* st;
        ~Reset() {
            sqlite3_reset(st); // ends the read: the connection sees later commits
            sqlite3_clear_bindings(st);
        }
    } reset{st};
    for (int i = 0; i < values.size(); ++i)
        bindNative(st, i + 1, values[i]);
    // values are made straight from the engine's row, once
    struct NativeRow : ResultRow {
        sqlite3_stmt* st;
        int n;
        int count() const override { return n; }
        QVariant value(int i) const override { return sqliteColumnValue(st, i); }
        bool plain(int i, Plain& out) const override {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_NULL:
                out.type = Plain::Null;
                return true;
            case SQLITE_INTEGER:
                out.type = Plain::Integer;
                out.i = sqlite3_column_int64(st, i);
                return true;
            case SQLITE_FLOAT:
                out.type = Plain::Float;
                out.d = sqlite3_column_double(st, i);
                return true;
            case SQLITE_TEXT:
                out.type = Plain::Text;
                out.text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                out.size = sqlite3_column_bytes(st, i);
                return true;
            default:
                return false;
            }
        }
    } row;
    row.st = st;
    row.n = sqlite3_column_count(st);
    for (;;) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) throw sqliteError(d->handle);
        if (onRow) onRow(row);
    }
    const int n = row.n;
    if (insertId) *insertId = qlonglong(sqlite3_last_insert_rowid(d->handle));
    return n == 0 ? sqlite3_changes(d->handle) : 0;
}

} // namespace data
