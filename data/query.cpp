// A read-only query over stored local SQL. Opening runs the statement and reads its first
// rows; a result that ends among them is kept whole, so what the query shows is what it
// selected when it ran. A longer result is read on as it is needed from a statement run
// again (and stepped past the rows before), keeping only a bounded window of rows around
// the ones read last. No statement stays open while the desk is idle: a read transaction
// left open would keep SQLite's write-ahead log from being checkpointed and hold a server
// connection of its own on PostgreSQL.
//
// Where the query's order is a list of columns beginning with an ascending one, a long
// result is also read by key: from a value of that first column on (a look-up list's typed
// prefix, Locate), or from its end backwards, each time a few rows of the statement re-run
// with a condition on that column and a LIMIT, so the engine seeks through its index instead
// of reading up to the row. Such rows carry their first order column's value and their place
// among the rows with that value as their key.
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
    QString openSql;       // the statement run when the query opens (its first rows only)
    QVector<int> columnOf; // result column of each field

    // reading by key (see above): the statement without its order, the order, and the
    // result column of the order's first column (-1: not read by key)
    QString body;
    QVector<LocalSelect::Term> order;
    int keyColumn = -1;
    QString keyName;

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
    void start(const QString& text) {
        release();
        connection = db->snapshotConnection();
        try {
            const QVariant h = db->nativeStatements() ? connection.driver()->handle() : QVariant();
            if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
                stream = std::make_unique<NativeStream>(*static_cast<sqlite3* const*>(h.constData()), text);
            else
                stream = std::make_unique<QtStream>(connection, text);
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
        if (!stream || streamPos > i) start(sql);
        lastRead.restart();
        const qint64 keepFrom = std::max<qint64>(0, i - windowRows / 2);
        while (streamPos <= i)
            if (!step(streamPos >= keepFrom)) return nullptr;
        return &rows[size_t(i - base)];
    }

    qint64 count() {
        if (complete) return qint64(rows.size());
        if (total < 0 || stream) {
            if (!stream) start(sql);
            while (step(false)) {
            }
        }
        return total;
    }

    Row row(qint64 i) { return Row{RowKey{i}, rows[size_t(i - base)]}; }

    // --- reading by key ---------------------------------------------------------------
    bool keyed() const { return keyColumn >= 0 && !complete; }
    static bool isKeyed(const RowKey& key) { return key.size() == 2; }
    static bool sameKey(const QVariant& a, const QVariant& b) {
        if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
        return a == b;
    }

    struct Read {
        QVariant key;
        QVector<QVariant> values;
    };
    enum class From { Start, AtLeast, Below, Less, Equal };
    // Up to limit rows of the statement with a condition on the key column, in its order or
    // reversed. Below (reversed only): the values below v, then the NULLs, which come first
    // in the order (two statements: with an OR between them an index serves neither).
    QVector<Read> read(From from, const QVariant& v, bool reversed, int limit) {
        if (from == From::Below) {
            QVector<Read> out = read(From::Less, v, true, limit);
            if (out.size() < limit) out += read(From::Equal, {}, true, limit - int(out.size()));
            return out;
        }
        const QString k = "q." + db->dialect().quoteInQuery(keyName);
        QString where;
        QVariantList values;
        switch (from) {
        case From::Start:
            break;
        case From::AtLeast:
            where = QString(" WHERE %1 >= ?").arg(k);
            values << v;
            break;
        case From::Below:
        case From::Less:
            where = QString(" WHERE %1 < ?").arg(k);
            values << v;
            break;
        case From::Equal:
            where = v.isNull() ? QString(" WHERE %1 IS NULL").arg(k) : QString(" WHERE %1 = ?").arg(k);
            if (!v.isNull()) values << v;
            break;
        }
        const QString text = "SELECT * FROM (" + body + ") q" + where +
                             db->dialect().orderBy(order, reversed, "q") + db->dialect().limit(limit);
        QVector<Read> out;
        try {
            db->run(text, values, [&](const Database::ResultRow& r) {
                Read one;
                one.key = r.value(keyColumn);
                one.values.resize(columnOf.size());
                for (int i = 0; i < columnOf.size(); ++i)
                    one.values[i] = r.value(columnOf[i]);
                out << std::move(one);
            });
        } catch (const EngineError& e) {
            throw EngineError(QString("%1: %2").arg(name, e.message()), e.kind());
        }
        return out;
    }

    qint64 groupSize(const QVariant& v) {
        const QString k = "q." + db->dialect().quoteInQuery(keyName);
        const QString text =
            "SELECT COUNT(*) FROM (" + body + ") q" +
            (v.isNull() ? QString(" WHERE %1 IS NULL").arg(k) : QString(" WHERE %1 = ?").arg(k));
        qint64 n = 0;
        db->run(text, v.isNull() ? QVariantList{} : QVariantList{v},
                [&](const Database::ResultRow& r) { n = r.value(0).toLongLong(); });
        return n;
    }

    // Rows read in order from the first of a value's rows on (or from the start): each one
    // keyed by its value and its place among the rows with that value.
    QVector<Row> forward(const QVariant& v, qint64 skip, int count) {
        const QVector<Read> got = read(v.isNull() ? From::Start : From::AtLeast, v, false,
                                       int(std::min<qint64>(skip + count, 1 << 30)));
        QVector<Row> out;
        qint64 place = 0;
        for (int i = 0; i < got.size(); ++i) {
            place = i > 0 && sameKey(got[i].key, got[i - 1].key) ? place + 1 : 0;
            if (i >= skip) out << Row{RowKey{got[i].key, place}, got[i].values};
        }
        return out;
    }

    // Rows read in reversed order (from the end, or from below a value), nearest first.
    QVector<Row> backward(From from, const QVariant& v, int count) {
        QVector<Read> got = read(from, v, true, count + 1);
        bool lastCut = false; // the last value's rows may go on past the rows read
        if (got.size() > count) {
            lastCut = sameKey(got[count].key, got[count - 1].key);
            got.resize(count);
        }
        QVector<Row> out;
        for (int i = 0; i < got.size();) {
            int j = i;
            while (j < got.size() && sameKey(got[j].key, got[i].key))
                ++j;
            const qint64 size = j == got.size() && lastCut ? groupSize(got[i].key) : j - i;
            for (int r = i; r < j; ++r)
                out << Row{RowKey{got[r].key, size - 1 - (r - i)}, got[r].values};
            i = j;
        }
        return out;
    }

    // Up to count rows after (forward) or before a keyed row, or from that row on.
    QVector<Row> fetchKeyed(const RowKey& key, bool fwd, int count, bool inclusive) {
        const QVariant v = key.value(0);
        const qint64 place = key.value(1).toLongLong();
        if (fwd) return forward(v, place + (inclusive ? 0 : 1), count);
        const qint64 upTo = inclusive ? place + 1 : place; // the rows of the same value before it
        QVector<Row> out;
        if (upTo > 0) {
            QVector<Row> same = forward(v, 0, int(upTo));
            for (int i = int(same.size()) - 1; i >= 0 && out.size() < count; --i)
                if (sameKey(same[i].key.value(0), v)) out << same[i];
        }
        if (out.size() < count && !v.isNull()) out += backward(From::Below, v, count - int(out.size()));
        return out;
    }
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
    const QString local = sql_.join("\n");
    if (local.trimmed().isEmpty()) raise("No SQL statement available");
    const Dialect& dialect = db.dialect();
    const LocalSelect parts = Dialect::splitLocalSelect(local);
    // a plain order in the engine's words, NULLs first as the indexes hold them
    d->body = dialect.translateLocalSql(parts.body);
    d->order = parts.order;
    d->sql =
        parts.plainOrder ? d->body + dialect.orderBy(parts.order, false) : dialect.translateLocalSql(local);
    // opening reads only the first rows: with a LIMIT the engine plans for those (and a
    // server sends no more)
    d->openSql = parts.limitable ? d->sql + dialect.limit(snapshotRows + 1) : d->sql;
    d->keyColumn = -1;
    d->columnOf.clear();
    d->start(d->openSql); // a wrong statement or table fails here
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
    const bool limited = d->openSql != d->sql;
    try {
        while ((limited || d->streamPos < snapshotRows) && d->step(true)) {
        }
    } catch (...) {
        d->release();
        throw;
    }
    d->complete = !d->stream && d->streamPos <= snapshotRows;
    if (!d->complete) d->total = -1; // the limited statement's end is not the result's
    d->release();                    // nothing stays open at rest
    // read by key where the order begins with an ascending column of the result
    if (!d->complete && parts.plainOrder && !parts.order.first().descending && dialect.nullsSortFirst()) {
        // each term names one column of the result, as the result spells it
        bool all = true;
        for (LocalSelect::Term& t : d->order) {
            int found = 0;
            for (const QString& n : names)
                if (n.compare(t.column, Qt::CaseInsensitive) == 0) {
                    t.column = n;
                    ++found;
                }
            all = all && found == 1;
        }
        if (all) {
            d->keyName = d->order.first().column;
            d->keyColumn = int(names.indexOf(d->keyName));
        }
    }
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
    if (d->keyed()) {
        const QVector<Row> last = d->backward(Impl::From::Start, {}, 1);
        if (last.isEmpty()) return false;
        row = last.first();
        return true;
    }
    const qint64 n = d->count();
    if (n <= 0 || !d->at(n - 1)) return false;
    row = d->row(n - 1);
    return true;
}

bool Query::readNext(const RowKey& from, Row& row) {
    if (from.isEmpty()) return false;
    if (Impl::isKeyed(from)) {
        const QVector<Row> next = d->fetchKeyed(from, true, 1, false);
        if (next.isEmpty()) return false;
        row = next.first();
        return true;
    }
    const qint64 i = from.first().toLongLong() + 1;
    if (!d->at(i)) return false;
    row = d->row(i);
    return true;
}

bool Query::readPrior(const RowKey& from, Row& row) {
    if (from.isEmpty()) return false;
    if (Impl::isKeyed(from)) {
        const QVector<Row> prior = d->fetchKeyed(from, false, 1, false);
        if (prior.isEmpty()) return false;
        row = prior.first();
        return true;
    }
    const qint64 i = from.first().toLongLong() - 1;
    if (!d->at(i)) return false;
    row = d->row(i);
    return true;
}

bool Query::readRow(const RowKey& key, Row& row) {
    if (key.isEmpty()) return false;
    if (Impl::isKeyed(key)) {
        const QVector<Row> same = d->fetchKeyed(key, true, 1, true);
        if (same.isEmpty() || same.first().key != key) return false;
        row = same.first();
        return true;
    }
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
    if (Impl::isKeyed(key)) return d->fetchKeyed(key, forward, count, inclusive);
    if (key.isEmpty() && !forward && d->keyed()) return d->backward(Impl::From::Start, {}, count);
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

// The key column's value as the rows hold it (a typed text for a number column converted).
static QVariant keyValueOf(const DataSet& ds, const QString& fieldName, const QVariant& value) {
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty())) return {};
    const Field* f = ds.FindField(fieldName);
    if (f && !f->isText() && value.typeId() == QMetaType::QString) return f->convertText(value.toString());
    return value;
}

bool Query::SeekRows(const QString& fieldName, const QVariant& value, int count, QVector<Row>& out) {
    requireActive();
    if (!d->keyed() || fieldName.compare(d->keyName, Qt::CaseInsensitive) != 0) return false;
    out = count > 0 ? d->forward(keyValueOf(*this, fieldName, value), 0, count) : QVector<Row>();
    return true;
}

bool Query::Locate(const QString& fieldName, const QVariant& value) {
    requireActive();
    const Field* f = FindField(fieldName);
    const QVariant wanted = keyValueOf(*this, fieldName, value);
    // (the NULLs lie at the start, where reading from the first row finds them)
    if (!d->keyed() || !f || fieldName.compare(d->keyName, Qt::CaseInsensitive) != 0 || wanted.isNull())
        return DataSet::Locate(fieldName, value);
    CheckBrowseMode();
    const QVector<Row> found = d->forward(wanted, 0, 1);
    if (found.isEmpty()) return false;
    const QVariant k = found.first().key.value(0);
    if (f->isText() ? k.toString() != wanted.toString() : k.toDouble() != wanted.toDouble()) return false;
    moveTo(&found.first(), false, false);
    return true;
}

RowKey Query::insertRow(const QVector<QVariant>&) { raise("Cannot modify a read-only dataset"); }

void Query::updateRow(const RowKey&, const QVector<QVariant>&, const QVector<QVariant>&) {
    raise("Cannot modify a read-only dataset");
}

void Query::deleteRow(const RowKey&, const QVector<QVariant>&) { raise("Cannot modify a read-only dataset"); }

} // namespace data
