// A read-only query over stored local SQL. The statement runs once, when the query opens,
// on a connection of its own; rows are fetched as they are read and kept, so moving back
// costs nothing and the statement's snapshot is what the query shows.
#include "query.h"
#include "database.h"
#include "errors.h"
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace data {

struct Query::Impl {
    Database* db = nullptr;
    QString alias;
    QSqlDatabase connection;
    std::unique_ptr<QSqlQuery> statement; // null once every row is read
    QVector<QVector<QVariant>> rows;
    QVector<int> columnOf; // result column of each field

    bool fetchOne() {
        if (!statement) return false;
        if (statement->next()) {
            QVector<QVariant> v(columnOf.size());
            for (int i = 0; i < columnOf.size(); ++i)
                v[i] = columnOf[i] >= 0 ? statement->value(columnOf[i]) : QVariant();
            rows << std::move(v);
            return true;
        }
        finish();
        return false;
    }

    bool ensure(int index) {
        while (rows.size() <= index)
            if (!fetchOne()) return false;
        return index >= 0;
    }

    void finish() {
        if (statement) {
            statement->finish();
            statement.reset();
        }
        if (connection.isValid()) {
            // given back only to the database that lent it (it may have been closed since)
            Database* live = Database::existing(alias);
            if (live && live == db) live->releaseSnapshot(connection);
            connection = QSqlDatabase();
        }
    }
};

Query::Query(QString name) : DataSet(std::move(name)), d(std::make_unique<Impl>()) {}

Query::~Query() { d->finish(); }

void Query::SetSQL(const QStringList& lines) {
    if (Active()) raise("Cannot perform this operation on an open dataset");
    sql_ = lines;
}

static FieldType fieldTypeOf(const QSqlField& f) {
    switch (f.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Float;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return FieldType::DateTime;
    default:
        return FieldType::String;
    }
}

void Query::openCursor() {
    d->finish();
    d->rows.clear();
    Database& db = *database();
    d->db = &db;
    d->alias = DatabaseName();
    const QString sql = db.dialect().translateLocalSql(sql_.join("\n"));
    if (sql.trimmed().isEmpty()) raise("No SQL statement available");
    d->connection = db.snapshotConnection();
    d->statement = std::make_unique<QSqlQuery>(d->connection);
    d->statement->setForwardOnly(true);
    if (!d->statement->exec(sql)) {
        const QSqlError e = d->statement->lastError();
        d->finish();
        throw EngineError(
            QString("%1: %2").arg(name(), e.databaseText().isEmpty() ? e.text() : e.databaseText()));
    }
    const QSqlRecord rec = d->statement->record();
    QVector<FieldDef> defs;
    for (int i = 0; i < rec.count(); ++i) {
        FieldDef f;
        f.fieldName = rec.fieldName(i);
        f.name = name() + QString(f.fieldName).remove(' ');
        f.type = fieldTypeOf(rec.field(i));
        f.size = f.type == FieldType::String ? (rec.field(i).length() > 0 ? rec.field(i).length() : 255) : 0;
        defs << f;
    }
    defineFields(defs); // nothing when the layout declared the fields
    d->columnOf.clear();
    for (const FieldDef& f : fieldDefs()) {
        const int c = rec.indexOf(f.fieldName);
        if (c < 0) {
            d->finish();
            raise(QString("Field '%1' not found").arg(f.fieldName), ErrorKind::NoSuchField);
        }
        d->columnOf << c;
    }
}

void Query::closeCursor() {
    d->finish();
    d->rows.clear();
}

static Row rowAt(const QVector<QVector<QVariant>>& rows, int i) { return Row{RowKey{i}, rows[i]}; }

bool Query::readFirst(Row& row) {
    if (!d->ensure(0)) return false;
    row = rowAt(d->rows, 0);
    return true;
}

bool Query::readLast(Row& row) {
    while (d->fetchOne()) {
    }
    if (d->rows.isEmpty()) return false;
    row = rowAt(d->rows, int(d->rows.size()) - 1);
    return true;
}

bool Query::readNext(const RowKey& from, Row& row) {
    if (from.isEmpty()) return false;
    const int i = from.first().toInt() + 1;
    if (!d->ensure(i)) return false;
    row = rowAt(d->rows, i);
    return true;
}

bool Query::readPrior(const RowKey& from, Row& row) {
    if (from.isEmpty()) return false;
    const int i = from.first().toInt() - 1;
    if (i < 0 || i >= d->rows.size()) return false;
    row = rowAt(d->rows, i);
    return true;
}

bool Query::readRow(const RowKey& key, Row& row) {
    if (key.isEmpty()) return false;
    const int i = key.first().toInt();
    if (i < 0 || !d->ensure(i)) return false;
    row = rowAt(d->rows, i);
    return true;
}

int Query::RecordCount() {
    requireActive();
    while (d->fetchOne()) {
    }
    return int(d->rows.size());
}

QVector<Row> Query::FetchRows(const RowKey& key, bool forward, int count, bool inclusive) {
    requireActive();
    QVector<Row> out;
    if (count <= 0) return out;
    int i;
    if (key.isEmpty()) {
        if (forward)
            i = 0;
        else {
            while (d->fetchOne()) {
            }
            i = int(d->rows.size()) - 1;
        }
    } else {
        i = key.first().toInt();
        if (!inclusive) i += forward ? 1 : -1;
    }
    while (int(out.size()) < count && i >= 0 && d->ensure(i)) {
        out << rowAt(d->rows, i);
        i += forward ? 1 : -1;
    }
    return out;
}

RowKey Query::insertRow(const QVector<QVariant>&) { raise("Cannot modify a read-only dataset"); }

void Query::updateRow(const RowKey&, const QVector<QVariant>&, const QVector<QVariant>&) {
    raise("Cannot modify a read-only dataset");
}

void Query::deleteRow(const RowKey&, const QVector<QVariant>&) { raise("Cannot modify a read-only dataset"); }

} // namespace data
