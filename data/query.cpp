// A read-only query over stored local SQL. Opening runs the statement and reads its first
// rows; a result that ends among them is kept whole, so what the query shows is what it
// selected when it ran. A longer result is read on as it is needed from a statement run
// again (and stepped past the rows before), keeping only a bounded window of rows around
// the ones read last. No statement stays open while the desk is idle: a read transaction
// left open would keep SQLite's write-ahead log from being checkpointed and hold a server
// connection of its own on PostgreSQL.
#include "query.h"
#include "database.h"
#include "database_p.h"
#include "errors.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimer>
#include <deque>

namespace data {

namespace {

// Rows read when the query opens: a result that ends among them is kept whole.
constexpr int snapshotRows = 256;
// Rows kept around the row read last.
constexpr int windowRows = 2048;
// A statement still being read is closed after this long without a read.
constexpr int idleMs = 500;

FieldType fieldTypeOf(QMetaType::Type t) {
    switch (t) {
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

// A running statement, read row by row.
class Stream {
public:
    virtual ~Stream() = default;
    virtual bool next() = 0;                 // false at the end; EngineError on failure
    virtual QVariant value(int column) = 0;  // of the current row
    virtual QVector<FieldDef> columns() = 0; // names and types
};

// SQLite's own statement on the snapshot connection (see Database::run()).
class NativeStream : public Stream {
public:
    NativeStream(sqlite3* h, const QString& sql) : h_(h) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(h_, text.constData(), int(text.size()), &st_, nullptr) != SQLITE_OK) {
            const QString msg = QString::fromUtf8(sqlite3_errmsg(h_));
            sqlite3_finalize(st_);
            st_ = nullptr;
            throw EngineError(msg);
        }
    }
    ~NativeStream() override { sqlite3_finalize(st_); }
    bool next() override {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw sqliteError(h_);
    }
    QVariant value(int i) override { return sqliteColumnValue(st_, i); }
    QVector<FieldDef> columns() override {
        // the types as Qt's driver reads a declaration, so both paths describe alike
        QVector<FieldDef> out;
        for (int i = 0; i < sqlite3_column_count(st_); ++i) {
            FieldDef f;
            f.fieldName = QString::fromUtf8(sqlite3_column_name(st_, i));
            const char* decl = sqlite3_column_decltype(st_, i);
            const QString t = decl ? QString::fromUtf8(decl).toLower() : QString();
            if (t == "integer" || t == "int")
                f.type = FieldType::Integer;
            else if (t == "double" || t == "float" || t == "real" || t.startsWith("numeric"))
                f.type = FieldType::Float;
            else
                f.type = FieldType::String;
            out << f;
        }
        return out;
    }

private:
    sqlite3* h_;
    sqlite3_stmt* st_ = nullptr;
};

// Other engines: Qt's driver, forward only.
class QtStream : public Stream {
public:
    QtStream(const QSqlDatabase& c, const QString& sql) : q_(c) {
        q_.setForwardOnly(true);
        if (!q_.exec(sql)) {
            const QSqlError e = q_.lastError();
            throw EngineError(e.databaseText().isEmpty() ? e.text() : e.databaseText());
        }
    }
    ~QtStream() override { q_.finish(); }
    bool next() override {
        if (q_.next()) return true;
        if (q_.lastError().isValid()) throw EngineError(q_.lastError().text());
        return false;
    }
    QVariant value(int i) override { return q_.value(i); }
    QVector<FieldDef> columns() override {
        QVector<FieldDef> out;
        const QSqlRecord rec = q_.record();
        for (int i = 0; i < rec.count(); ++i) {
            FieldDef f;
            f.fieldName = rec.fieldName(i);
            f.type = fieldTypeOf(QMetaType::Type(rec.field(i).metaType().id()));
            f.size = rec.field(i).length() > 0 ? rec.field(i).length() : 0;
            out << f;
        }
        return out;
    }

private:
    QSqlQuery q_;
};

} // namespace

struct Query::Impl {
    Database* db = nullptr;
    QString alias, sql, name;
    QVector<int> columnOf; // result column of each field

    // rows [base, base + rows.size()) of the result, as read
    std::deque<QVector<QVariant>> rows;
    qint64 base = 0;
    qint64 total = -1;     // the number of rows, once the end was reached
    bool complete = false; // every row is held: never read again

    QSqlDatabase connection;
    std::unique_ptr<Stream> stream;
    qint64 streamPos = 0; // the position of the row the stream gives next
    std::unique_ptr<QTimer> idle;
    QElapsedTimer lastRead;

    ~Impl() { release(); }

    void release() {
        stream.reset(); // ends the statement's read
        if (connection.isValid()) {
            const QString lent = connection.connectionName();
            connection = QSqlDatabase();
            // given back only to the database that lent it (it may have been closed since)
            Database* live = Database::existing(alias);
            if (live && live == db) live->releaseSnapshot(lent);
        }
        if (idle) idle->stop();
    }

    // Runs the statement afresh, its next row at position 0.
    void start() {
        release();
        connection = db->snapshotConnection();
        try {
            const QVariant h = db->nativeStatements() ? connection.driver()->handle() : QVariant();
            if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
                stream = std::make_unique<NativeStream>(*static_cast<sqlite3* const*>(h.constData()), sql);
            else
                stream = std::make_unique<QtStream>(connection, sql);
        } catch (const EngineError& e) {
            release();
            throw EngineError(QString("%1: %2").arg(name, e.message()), e.kind());
        }
        streamPos = 0;
        total = -1;
        watchIdle();
    }

    void watchIdle() {
        lastRead.start();
        if (!QCoreApplication::instance()) return; // no event loop: closed with the query
        if (!idle) {
            idle = std::make_unique<QTimer>();
            idle->setSingleShot(true);
            QObject::connect(idle.get(), &QTimer::timeout, [this] {
                if (!stream) return;
                const qint64 waited = lastRead.elapsed();
                if (waited >= idleMs)
                    release();
                else
                    idle->start(int(idleMs - waited));
            });
        }
        if (!idle->isActive()) idle->start(idleMs);
    }

    // The stream's next row; false at its end (then it is closed).
    bool step(bool keep) {
        if (!stream->next()) {
            total = streamPos;
            release();
            return false;
        }
        if (keep) {
            if (!rows.empty() && base + qint64(rows.size()) != streamPos) rows.clear();
            if (rows.empty()) base = streamPos;
            QVector<QVariant> v(columnOf.size());
            for (int i = 0; i < columnOf.size(); ++i)
                v[i] = stream->value(columnOf[i]);
            rows.push_back(std::move(v));
            if (rows.size() > size_t(windowRows)) {
                rows.pop_front();
                ++base;
            }
        }
        ++streamPos;
        return true;
    }

    // Reads on until row i has been read (when the result has it); rows well before i are
    // stepped over without being kept.
    const QVector<QVariant>* at(qint64 i) {
        if (i < 0) return nullptr;
        if (i >= base && i < base + qint64(rows.size())) return &rows[size_t(i - base)];
        if (complete || (total >= 0 && !stream && i >= total)) return nullptr;
        if (!stream || streamPos > i) start();
        lastRead.restart();
        const qint64 keepFrom = std::max<qint64>(0, i - windowRows / 2);
        while (streamPos <= i)
            if (!step(streamPos >= keepFrom)) return nullptr;
        return &rows[size_t(i - base)];
    }

    qint64 count() {
        if (complete) return qint64(rows.size());
        if (total < 0 || stream) {
            if (!stream) start();
            while (step(false)) {
            }
        }
        return total;
    }

    Row row(qint64 i) { return Row{RowKey{i}, rows[size_t(i - base)]}; }
};

Query::Query(QString name) : DataSet(std::move(name)), d(std::make_unique<Impl>()) {}

Query::~Query() { d->release(); }

void Query::SetSQL(const QStringList& lines) {
    if (Active()) raise("Cannot perform this operation on an open dataset");
    sql_ = lines;
}

void Query::openCursor() {
    d->release();
    d->rows.clear();
    d->base = 0;
    d->complete = false;
    Database& db = *database();
    d->db = &db;
    d->alias = DatabaseName();
    d->name = name();
    d->sql = db.dialect().translateLocalSql(sql_.join("\n"));
    if (d->sql.trimmed().isEmpty()) raise("No SQL statement available");
    d->columnOf.clear();
    d->start(); // a wrong statement or table fails here
    QVector<FieldDef> defs;
    for (FieldDef f : d->stream->columns()) {
        f.name = name() + QString(f.fieldName).remove(' ');
        f.size = f.type == FieldType::String ? (f.size > 0 ? f.size : 255) : 0;
        defs << f;
    }
    defineFields(defs); // nothing when the layout declared the fields
    QStringList names;
    for (const FieldDef& f : defs)
        names << f.fieldName;
    for (const FieldDef& f : fieldDefs()) {
        int c = int(names.indexOf(f.fieldName));
        for (int i = 0; c < 0 && i < names.size(); ++i)
            if (names[i].compare(f.fieldName, Qt::CaseInsensitive) == 0) c = i;
        if (c < 0) {
            d->release();
            raise(QString("Field '%1' not found").arg(f.fieldName), ErrorKind::NoSuchField);
        }
        d->columnOf << c;
    }
    try {
        while (d->streamPos < snapshotRows && d->step(true)) {
        }
    } catch (...) {
        d->release();
        throw;
    }
    d->complete = !d->stream;
    d->release(); // nothing stays open at rest
}

void Query::closeCursor() {
    d->release();
    d->rows.clear();
    d->base = 0;
    d->total = -1;
    d->complete = false;
}

bool Query::readFirst(Row& row) {
    if (!d->at(0)) return false;
    row = d->row(0);
    return true;
}

bool Query::readLast(Row& row) {
    const qint64 n = d->count();
    if (n <= 0 || !d->at(n - 1)) return false;
    row = d->row(n - 1);
    return true;
}

bool Query::readNext(const RowKey& from, Row& row) {
    if (from.isEmpty()) return false;
    const qint64 i = from.first().toLongLong() + 1;
    if (!d->at(i)) return false;
    row = d->row(i);
    return true;
}

bool Query::readPrior(const RowKey& from, Row& row) {
    if (from.isEmpty()) return false;
    const qint64 i = from.first().toLongLong() - 1;
    if (!d->at(i)) return false;
    row = d->row(i);
    return true;
}

bool Query::readRow(const RowKey& key, Row& row) {
    if (key.isEmpty()) return false;
    const qint64 i = key.first().toLongLong();
    if (!d->at(i)) return false;
    row = d->row(i);
    return true;
}

int Query::BufferedRows() const { return int(d->rows.size()); }

int Query::RecordCount() {
    requireActive();
    return int(d->count());
}

QVector<Row> Query::FetchRows(const RowKey& key, bool forward, int count, bool inclusive) {
    requireActive();
    QVector<Row> out;
    if (count <= 0) return out;
    qint64 i;
    if (key.isEmpty())
        i = forward ? 0 : d->count() - 1;
    else {
        i = key.first().toLongLong();
        if (!inclusive) i += forward ? 1 : -1;
    }
    while (int(out.size()) < count && d->at(i)) {
        out << d->row(i);
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
