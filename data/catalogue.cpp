// The catalogue: tables, columns and their types, primary keys and indexes.
#include "database_p.h"
#include <QSqlDriver>
#include <QSqlIndex>
#include <QSqlRecord>

namespace data {

FieldType typeFromDeclaration(const QString& decl, bool pk, int& size) {
    const QString t = decl.toUpper();
    size = 0;
    const int open = t.indexOf('(');
    if (open >= 0) {
        const int close = t.indexOf(')', open);
        size = t.mid(open + 1, close - open - 1).section(',', 0, 0).trimmed().toInt();
    }
    if (t.contains("INT")) return pk ? FieldType::AutoInc : FieldType::Integer;
    if (t.contains("CHAR")) return FieldType::String;
    if (t.contains("TEXT") || t.contains("CLOB") || t.contains("MEMO")) return FieldType::Memo;
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("NUM") ||
        t.contains("DEC"))
        return FieldType::Float;
    if (t.contains("DATE") || t.contains("TIME")) return FieldType::DateTime;
    return FieldType::String;
}

FieldType typeFromMeta(const QSqlField& f, bool pk) {
    switch (f.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return pk || f.isAutoValue() ? FieldType::AutoInc : FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Float;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return FieldType::DateTime;
    default:
        return f.length() > 0 && f.length() < 4096 ? FieldType::String : FieldType::Memo;
    }
}

bool Database::tableExists(const QString& table) {
    ensureConnected();
    if (d->columnCache.contains(table.toLower())) return true;
    const QStringList tables = connection().tables(QSql::Tables);
    for (const QString& t : tables)
        if (t.compare(table, Qt::CaseInsensitive) == 0) return true;
    return false;
}

const QVector<Database::ColumnInfo>& Database::columnInfo(const QString& table) {
    ensureConnected();
    const QString key = table.toLower();
    auto it = d->columnCache.find(key);
    if (it != d->columnCache.end()) return *it;
    QVector<ColumnInfo> cols;
    QString pk;
    if (d->engine == Engine::Sqlite) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        if (!q.exec(QString("PRAGMA table_info(%1)").arg(dialect_->quote(table))))
            throw failure(q.lastError());
        QStringList pks;
        while (q.next()) {
            ColumnInfo ci;
            ci.name = q.value(1).toString();
            const bool isPk = q.value(5).toInt() > 0;
            ci.type = typeFromDeclaration(q.value(2).toString(), isPk, ci.size);
            if (isPk) pks << ci.name;
            cols << ci;
        }
        if (pks.size() == 1)
            pk = pks.first();
        else
            for (auto& c : cols)
                if (c.type == FieldType::AutoInc) c.type = FieldType::Integer;
    } else {
        const QString esc =
            connection().driver()->escapeIdentifier(physicalTableName(table), QSqlDriver::TableName);
        const QSqlRecord rec = connection().record(esc);
        const QSqlIndex pki = connection().primaryIndex(esc);
        if (pki.count() == 1) pk = pki.fieldName(0);
        for (int i = 0; i < rec.count(); ++i) {
            const QSqlField f = rec.field(i);
            ColumnInfo ci;
            ci.name = f.name();
            ci.type = typeFromMeta(f, f.name() == pk);
            ci.size = ci.type == FieldType::String ? f.length() : 0;
            cols << ci;
        }
    }
    if (cols.isEmpty())
        throw EngineError(QString("Table does not exist: %1 (alias %2)").arg(table, config_.name),
                          ErrorKind::NoSuchTable);
    d->pkCache.insert(key, pk);
    return *d->columnCache.insert(key, cols);
}

QString Database::physicalTableName(const QString& table) {
    ensureConnected();
    if (d->engine == Engine::Sqlite) return table; // SQLite's names ignore case
    const QString key = table.toLower();
    auto it = d->physicalNames.find(key);
    if (it != d->physicalNames.end()) return *it;
    for (const QString& t : connection().tables(QSql::Tables))
        if (t.compare(table, Qt::CaseInsensitive) == 0) {
            d->physicalNames.insert(key, t);
            return t;
        }
    return table;
}

void Database::forgetSchema() {
    ++schemaGeneration_;
    d->clearNative();
    d->physicalNames.clear();
    d->columnCache.clear();
    d->pkCache.clear();
    d->lru.clear();
    d->bySql.clear();
}

QStringList Database::columns(const QString& table) {
    QStringList names;
    for (const auto& c : columnInfo(table))
        names << c.name;
    return names;
}

QString Database::primaryKey(const QString& table) {
    columnInfo(table);
    const QString pk = d->pkCache.value(table.toLower());
    if (!pk.isEmpty()) return pk;
    if (d->engine == Engine::Sqlite)
        return "rowid"; // a table made without an integer key still has its row id
    throw EngineError(QString("Table %1 has no integer primary key").arg(table), ErrorKind::NoSuchIndex);
}

QStringList Database::indexFields(const QString& table, const QString& index) {
    ensureConnected();
    columnInfo(table); // a missing table is named as such
    QStringList fields;
    const auto notFound = [&] {
        return EngineError(QString("Index does not exist: %1 (table %2)").arg(index, table),
                           ErrorKind::NoSuchIndex);
    };
    if (d->engine == Engine::Sqlite) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        q.prepare("SELECT name FROM sqlite_master WHERE type = 'index' AND lower(tbl_name) = lower(?) "
                  "AND name = ? COLLATE NOCASE");
        q.addBindValue(table);
        q.addBindValue(index);
        if (!q.exec()) throw failure(q.lastError());
        if (!q.next()) throw notFound();
        const QString real = q.value(0).toString();
        q.finish();
        if (!q.exec(QString("PRAGMA index_info(%1)").arg(dialect_->quote(real))))
            throw failure(q.lastError());
        QMap<int, QString> bySeq;
        while (q.next())
            bySeq.insert(q.value(0).toInt(), q.value(2).toString());
        fields = bySeq.values();
    } else if (d->engine == Engine::Postgres) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        q.prepare("SELECT a.attname FROM pg_index i "
                  "JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_class t ON t.oid = i.indrelid "
                  "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = ANY(i.indkey) "
                  "WHERE c.relname = ? AND t.relname = ? "
                  "ORDER BY array_position(i.indkey::int2[], a.attnum)");
        q.addBindValue(index);
        q.addBindValue(table);
        if (!q.exec()) throw failure(q.lastError());
        while (q.next())
            fields << q.value(0).toString();
    } else {
        // ODBC gives no portable catalogue of indexes: the primary key is the only one known
        const QSqlIndex pki = connection().primaryIndex(table);
        if (pki.name().compare(index, Qt::CaseInsensitive) == 0)
            for (int i = 0; i < pki.count(); ++i)
                fields << pki.fieldName(i);
    }
    if (fields.isEmpty()) throw notFound();
    return fields;
}

QVector<QStringList> Database::uniqueIndexes(const QString& table) {
    ensureConnected();
    columnInfo(table);
    QVector<QStringList> result;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (d->engine == Engine::Sqlite) {
        QStringList names;
        if (!q.exec(QString("PRAGMA index_list(%1)").arg(dialect_->quote(physicalTableName(table)))))
            throw failure(q.lastError());
        while (q.next())
            if (q.value(2).toInt() == 1) names << q.value(1).toString();
        for (const QString& n : names) {
            if (!q.exec(QString("PRAGMA index_info(%1)").arg(dialect_->quote(n))))
                throw failure(q.lastError());
            QMap<int, QString> bySeq;
            while (q.next())
                bySeq.insert(q.value(0).toInt(), q.value(2).toString());
            result << bySeq.values();
        }
    } else if (d->engine == Engine::Postgres) {
        q.prepare("SELECT c.relname, a.attname FROM pg_index i "
                  "JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_class t ON t.oid = i.indrelid "
                  "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = ANY(i.indkey) "
                  "WHERE t.relname = ? AND i.indisunique "
                  "ORDER BY c.relname, array_position(i.indkey::int2[], a.attnum)");
        q.addBindValue(physicalTableName(table));
        if (!q.exec()) throw failure(q.lastError());
        QString current;
        while (q.next()) {
            if (result.isEmpty() || q.value(0).toString() != current) {
                result.push_back({});
                current = q.value(0).toString();
            }
            result.back() << q.value(1).toString();
        }
    }
    return result;
}

} // namespace data
