#include "data/schemadef.h"

#include "data/database.h"
#include "data/errors.h"

#include <QSqlError>
#include <QSqlQuery>

namespace data {

namespace {

QString columnType(const Dialect& d, const FieldDef& f) {
    switch (f.type) {
    case FieldType::String:
        return d.textType(f.size > 0 ? f.size : 20);
    case FieldType::Memo:
        return d.memoType();
    case FieldType::Float:
        return d.floatType();
    case FieldType::Integer:
        return d.integerType();
    case FieldType::DateTime:
        return d.dateTimeType();
    case FieldType::AutoInc:
        break;
    }
    return d.integerType();
}

bool isTextField(const TableDef& t, const QString& name) {
    for (const FieldDef& f : t.fields)
        if (f.fieldName == name) return f.type == FieldType::String || f.type == FieldType::Memo;
    return false;
}

// DDL runs as plain statements on the connection: nothing to cache or bind.
void run(Database& db, const QString& sql) {
    QSqlQuery q(db.connection());
    if (!q.exec(sql)) throw EngineError(q.lastError().text().trimmed() + "\n" + sql);
}

bool indexExists(Database& db, const QString& table, const QString& index) {
    try {
        return !db.indexFields(table, index).isEmpty();
    } catch (const EngineError&) {
        return false;
    }
}

} // namespace

void createTables(Database& db, const QVector<TableDef>& tables) {
    const Dialect& d = db.dialect();
    for (const TableDef& t : tables) {
        // Checked first rather than CREATE ... IF NOT EXISTS, which not every engine
        // behind ODBC understands; an existing table is never touched.
        if (!db.tableExists(t.name)) {
            QStringList columns;
            for (const FieldDef& f : t.fields) {
                const QString name = d.quote(f.fieldName);
                columns << (f.type == FieldType::AutoInc ? d.autoIncrementColumn(name)
                                                         : name + ' ' + columnType(d, f));
            }
            run(db, "CREATE TABLE " + d.quote(t.name) + " (" + columns.join(", ") + ")");
        }
        for (const IndexDef& ix : t.indexes) {
            if (indexExists(db, t.name, ix.name)) continue;
            QStringList columns;
            for (const QString& f : ix.fields)
                columns << d.indexColumn(d.quote(f), isTextField(t, f));
            run(db,
                QString("CREATE %1INDEX %2 ON %3 (%4)")
                    .arg(ix.unique ? "UNIQUE " : "", d.quote(ix.name), d.quote(t.name), columns.join(", ")));
        }
    }
}

} // namespace data
