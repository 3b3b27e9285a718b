// The batch move: a streamed read of the source, one transaction of prepared writes on the
// destination, and a row that cannot be stored skipped without losing the others.
#include "batchmove.h"
#include "database.h"
#include "table.h"
#include <QDateTime>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <optional>

namespace data {

namespace {

QString errorText(const QSqlError& e) {
    const QString t = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return t.trimmed();
}

// The source's own connection, closed and removed when the move ends.
class SourceConnection {
public:
    SourceConnection(const QString& databaseName) {
        name_ = QStringLiteral("quorvale:batchmove:%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        std::optional<AliasConfig> alias;
        try {
            alias = AliasConfig::load(databaseName);
        } catch (const EngineError&) {
            // not an alias of ours: an ODBC data source name
        }
        QSqlDatabase c;
        if (alias && (alias->driver.isEmpty() || alias->driver == "SQLITE" || alias->driver == "QSQLITE")) {
            c = QSqlDatabase::addDatabase("QSQLITE", name_);
            c.setDatabaseName(alias->path);
            // read only: the move never changes its source, nor creates a missing file
            c.setConnectOptions("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000");
        } else if (alias && alias->driver != "ODBC" && alias->driver != "QODBC") {
            c = QSqlDatabase::addDatabase("QPSQL", name_);
            c.setHostName(alias->host);
            if (alias->port) c.setPort(alias->port);
            c.setDatabaseName(alias->database);
            c.setUserName(alias->user);
            c.setPassword(alias->password);
        } else {
            c = QSqlDatabase::addDatabase("QODBC", name_);
            c.setDatabaseName(alias ? alias->dsn : databaseName);
            if (alias) {
                c.setUserName(alias->user);
                c.setPassword(alias->password);
            }
        }
        if (!c.isValid())
            fail(QStringLiteral("The database driver for %1 is not installed").arg(databaseName));
        if (!c.open()) {
            const QString text = errorText(c.lastError());
            c = QSqlDatabase();
            fail(QStringLiteral("Cannot open the source database %1: %2").arg(databaseName, text));
        }
    }
    ~SourceConnection() {
        {
            QSqlDatabase c = QSqlDatabase::database(name_, false);
            c.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase connection() const { return QSqlDatabase::database(name_, false); }

private:
    [[noreturn]] void fail(const QString& message) {
        QSqlDatabase::removeDatabase(name_);
        throw EngineError(message);
    }
    QString name_;
};

// The destination table, and what differs between its engines for the move.
struct Target {
    Database& db;
    QString table; // as the database spells it
    QString quotedTable;
    QVector<Database::ColumnInfo> columns;
    int keyColumn = -1; // the primary key's position, -1 without one
    bool savepoints = false;
    QVector<QVector<int>> uniqueIndexes; // column positions of each unique index

    QString q(const QString& identifier) const { return db.dialect().quote(identifier); }

    void plain(const QString& sql) {
        QSqlQuery query(db.connection());
        if (!query.exec(sql)) throw EngineError(errorText(query.lastError()));
    }

    // Where a failing statement spoils the whole transaction, each row runs inside a
    // savepoint of its own, so a refused row undoes only itself.
    void beginRow() {
        if (savepoints) plain("SAVEPOINT quorvale_batch_row");
    }
    void endRow() {
        if (savepoints) plain("RELEASE SAVEPOINT quorvale_batch_row");
    }
    void undoRow() {
        if (savepoints) plain("ROLLBACK TO SAVEPOINT quorvale_batch_row");
    }

    void readUniqueIndexes() {
        auto position = [&](const QString& column) {
            for (int i = 0; i < columns.size(); ++i)
                if (columns[i].name.compare(column, Qt::CaseInsensitive) == 0) return i;
            return -1;
        };
        // where the engine gives no catalogue of indexes, a refused row names the engine's reason
        for (const QStringList& index : db.uniqueIndexes(table)) {
            QVector<int> cols;
            for (const QString& c : index)
                cols << position(c);
            // an index holding the key clashes only with the row of that key, which is updated
            if (cols.contains(-1) || (keyColumn >= 0 && cols.contains(keyColumn))) continue;
            uniqueIndexes << cols;
        }
    }

    // Which unique index another row already fills with the row's values (empty: none).
    QStringList clash(const QVector<QVariant>& values, const QVector<bool>& written, const QVariant& key) {
        for (const auto& cols : uniqueIndexes) {
            bool complete = true;
            for (int c : cols)
                complete = complete && written[c] && !values[c].isNull();
            if (!complete) continue;
            QStringList where;
            QVariantList binds;
            for (int c : cols) {
                where << q(columns[c].name) + " = ?";
                binds << values[c];
            }
            if (keyColumn >= 0 && !key.isNull()) {
                where << "NOT (" + db.dialect().nullSafeEqual(q(columns[keyColumn].name), "?") + ")";
                binds << key;
            }
            bool found = false;
            db.run("SELECT 1 FROM " + quotedTable + " WHERE " + where.join(" AND "), binds,
                   [&](const Database::ResultRow&) { found = true; });
            if (found) {
                QStringList names;
                for (int c : cols)
                    names << columns[c].name;
                return names;
            }
        }
        return {};
    }

    // After rows were stored with their own key values the engine's counter must go past
    // them, or the next new row would be given a number already taken.
    void keysStored() {
        if (keyColumn < 0) return;
        const QString sql = db.dialect().keyCounterCatchUp(table, columns[keyColumn].name);
        if (!sql.isEmpty()) plain(sql);
    }
};

// A source value in the destination column's type; false when it does not convert.
bool convert(const QVariant& in, const Database::ColumnInfo& column, QVariant& out) {
    out = QVariant();
    if (in.isNull() || !in.isValid()) return true;
    const int type = in.metaType().id();
    const bool text = type == QMetaType::QString || type == QMetaType::QByteArray;
    const QString s = text ? in.toString() : QString();
    switch (column.type) {
    case FieldType::AutoInc:
    case FieldType::Integer: {
        if (text && s.trimmed().isEmpty()) return true;
        bool ok = false;
        qlonglong n = text ? s.trimmed().toLongLong(&ok) : in.toLongLong(&ok);
        if (!ok || (!text && (type == QMetaType::Double || type == QMetaType::Float))) {
            const double d = text ? QLocale::c().toDouble(s.trimmed(), &ok) : in.toDouble(&ok);
            if (!ok || d != qlonglong(d)) return false;
            n = qlonglong(d);
        }
        out = n;
        return true;
    }
    case FieldType::Float: {
        if (text && s.trimmed().isEmpty()) return true;
        bool ok = false;
        const double d = text ? QLocale::c().toDouble(s.trimmed(), &ok) : in.toDouble(&ok);
        if (!ok || !qIsFinite(d)) return false;
        out = d;
        return true;
    }
    case FieldType::DateTime: {
        if (type == QMetaType::QDateTime) {
            out = in.toDateTime();
            return true;
        }
        if (type == QMetaType::QDate) {
            out = QDateTime(in.toDate(), QTime(0, 0));
            return true;
        }
        if (!text) return false;
        const QString t = s.trimmed();
        if (t.isEmpty()) return true;
        QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
        if (!dt.isValid()) dt = QDateTime::fromString(QString(t).replace(' ', 'T'), Qt::ISODateWithMs);
        if (!dt.isValid()) {
            const QDate d = QDate::fromString(t, Qt::ISODate);
            if (d.isValid()) dt = QDateTime(d, QTime(0, 0));
        }
        if (!dt.isValid()) return false;
        out = dt;
        return true;
    }
    case FieldType::String:
    case FieldType::Memo: {
        QString v;
        if (type == QMetaType::Double || type == QMetaType::Float)
            v = QString::number(in.toDouble(), 'g', QLocale::FloatingPointShortest);
        else if (type == QMetaType::QDateTime)
            v = in.toDateTime().toString(Qt::ISODate);
        else if (type == QMetaType::QByteArray)
            v = QString::fromUtf8(in.toByteArray());
        else
            v = in.toString();
        if (column.type == FieldType::String && column.size > 0 && v.size() > column.size)
            v.truncate(column.size);
        if (!v.isEmpty()) out = v; // empty text is stored as NULL
        return true;
    }
    }
    return false;
}

} // namespace

void BatchMove::Execute(BatchMoveProgress* progress) {
    appended_ = updated_ = skipped_ = read_ = 0;
    cancelled_ = false;
    problems_.clear();
    if (!source_ || !destination_) throw DatabaseError(name_ + ": No source or destination table");

    Database& db = Database::forAlias(destination_->DatabaseName());
    Target dest{db};
    dest.table = db.physicalTableName(destination_->TableName());
    dest.quotedTable = db.dialect().quote(dest.table);
    dest.columns = db.columnInfo(dest.table);
    const QString key = db.primaryKey(dest.table);
    for (int i = 0; i < dest.columns.size(); ++i)
        if (!key.isEmpty() && dest.columns[i].name.compare(key, Qt::CaseInsensitive) == 0) dest.keyColumn = i;
    dest.savepoints = db.dialect().failureEndsTransaction();
    dest.readUniqueIndexes();

    // The source: opened here, read forward a row at a time, closed whatever happens.
    SourceConnection source(source_->DatabaseName());
    QSqlQuery rows(source.connection());
    rows.setForwardOnly(true);
    const QString sourceTable =
        source.connection().driver()->escapeIdentifier(source_->TableName(), QSqlDriver::TableName);
    if (!rows.exec("SELECT * FROM " + sourceTable)) throw EngineError(errorText(rows.lastError()));
    const int paired = std::min<int>(rows.record().count(), dest.columns.size());

    // The statements, prepared once: an update of the paired columns by key, an insert of
    // the paired columns with the source's key, and one without a key for rows that have none.
    QStringList setList, insertCols, insertColsNoKey, marks, marksNoKey;
    for (int c = 0; c < paired; ++c) {
        const QString col = dest.q(dest.columns[c].name);
        insertCols << col;
        marks << "?";
        if (c == dest.keyColumn) continue;
        setList << col + " = ?";
        insertColsNoKey << col;
        marksNoKey << "?";
    }
    const QString keyName = dest.keyColumn >= 0 ? dest.q(dest.columns[dest.keyColumn].name) : QString();
    const bool keyPaired = dest.keyColumn >= 0 && dest.keyColumn < paired;
    const QString updateSql =
        setList.isEmpty() ? QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(dest.quotedTable, keyName)
                          : QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                .arg(dest.quotedTable, setList.join(", "), keyName);
    const QString insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(dest.quotedTable, insertCols.join(", "), marks.join(", "));
    const QString insertNoKeySql =
        insertColsNoKey.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(dest.quotedTable)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(dest.quotedTable, insertColsNoKey.join(", "), marksNoKey.join(", "));

    Transaction transaction(db);
    bool explicitKeys = false;
    QVector<QVariant> values(dest.columns.size());
    QVector<bool> written(dest.columns.size(), false);
    for (int c = 0; c < paired; ++c)
        written[c] = true;
    auto skip = [&](BatchMoveProblem problem) {
        ++skipped_;
        if (problems_.size() < problemLimit_) problems_.push_back(std::move(problem));
    };
    while (rows.next()) {
        ++read_;
        QVariantList sourceValues;
        sourceValues.reserve(paired);
        for (int c = 0; c < paired; ++c)
            sourceValues << rows.value(c);
        int bad = -1;
        for (int c = 0; c < paired && bad < 0; ++c)
            if (!convert(sourceValues[c], dest.columns[c], values[c])) bad = c;
        if (bad >= 0) {
            BatchMoveProblem p;
            p.kind = BatchMoveProblem::Kind::Conversion;
            p.sourceRow = read_;
            p.values = sourceValues;
            p.fields = QStringList(dest.columns[bad].name);
            p.value = sourceValues[bad];
            skip(std::move(p));
        } else {
            const QVariant keyValue = keyPaired ? values[dest.keyColumn] : QVariant();
            dest.beginRow();
            try {
                bool done = false;
                if (!keyValue.isNull() && mode_ != BatchMode::Append) {
                    QVariantList binds;
                    for (int c = 0; c < paired; ++c)
                        if (c != dest.keyColumn && !setList.isEmpty()) binds << values[c];
                    binds << keyValue;
                    bool found = false;
                    const int changed =
                        db.run(updateSql, binds, [&](const Database::ResultRow&) { found = true; });
                    if (changed > 0 || found) {
                        ++updated_;
                        done = true;
                    }
                }
                if (!done && mode_ != BatchMode::Update) {
                    QVariantList binds;
                    if (!keyValue.isNull()) {
                        for (int c = 0; c < paired; ++c)
                            binds << values[c];
                        db.run(insertSql, binds);
                        explicitKeys = true;
                    } else {
                        for (int c = 0; c < paired; ++c)
                            if (c != dest.keyColumn) binds << values[c];
                        db.run(insertNoKeySql, binds);
                    }
                    ++appended_;
                }
                dest.endRow();
            } catch (const EngineError& e) {
                dest.undoRow();
                BatchMoveProblem p;
                p.sourceRow = read_;
                p.values = sourceValues;
                p.fields = dest.clash(values, written, keyValue);
                p.kind = p.fields.isEmpty() ? BatchMoveProblem::Kind::Engine
                                            : BatchMoveProblem::Kind::KeyViolation;
                p.message = e.message();
                skip(std::move(p));
            }
        }
        if (progress && read_ % progressInterval_ == 0 && !progress->rowsDone(read_)) {
            cancelled_ = true;
            break;
        }
    }
    if (!cancelled_ && rows.lastError().isValid()) throw EngineError(errorText(rows.lastError()));
    rows.finish();
    if (cancelled_) {
        appended_ = updated_ = skipped_ = 0;
        problems_.clear();
        return; // the transaction's destructor rolls everything back
    }
    if (explicitKeys) dest.keysStored();
    if (progress) progress->rowsDone(read_);
    transaction.Commit();
}

} // namespace data
