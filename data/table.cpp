// The table cursor. Rows are read in the order of (the order fields, the row key) with
// keyset seeks: "the rows after this key" is a union of index ranges, each an equality
// prefix and one range, read with LIMIT in order. Nothing here reads a whole table.
#include "table.h"
#include "database.h"
#include "errors.h"
#include "filter.h"
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace data {

namespace {
constexpr int readAhead = 32; // rows read at once when moving row by row

bool isText(FieldType t) { return t == FieldType::String || t == FieldType::Memo; }

// Rows read ahead, kept as the engine gave them (numbers, the bytes of texts) until one is
// moved to: most rows read ahead are never shown, and making values of every column of
// every row would cost more than reading them.
struct Page {
    enum Kind : quint8 { Null, Integer, Float, Text, Value };
    struct Cell {
        Kind kind;
        quint32 size; // Text: bytes
        union {
            qint64 i;
            double d;
            quint64 at; // Text: into bytes; Value: into values
        };
    };
    int columns = 0;
    int rows = 0;
    std::vector<Cell> cells;
    std::string bytes;
    QVector<QVariant> values; // columns the engine gives only as values

    void append(const Database::ResultRow& c, int expected) {
        const int n = c.count();
        if (rows == 0) {
            columns = n;
            cells.reserve(size_t(n) * size_t(std::max(expected, 1)));
        }
        Database::ResultRow::Plain p;
        for (int i = 0; i < n; ++i) {
            Cell cell;
            cell.size = 0;
            cell.i = 0;
            if (!c.plain(i, p)) {
                cell.kind = Value;
                cell.at = quint64(values.size());
                values.append(c.value(i));
            } else if (p.type == p.Integer) {
                cell.kind = Integer;
                cell.i = p.i;
            } else if (p.type == p.Float) {
                cell.kind = Float;
                cell.d = p.d;
            } else if (p.type == p.Text) {
                cell.kind = Text;
                cell.at = bytes.size();
                cell.size = quint32(p.size);
                bytes.append(p.text, size_t(p.size));
            } else {
                cell.kind = Null;
            }
            cells.push_back(cell);
        }
        ++rows;
    }
    // the value as the engine's row gives it
    QVariant value(int row, int column) const {
        const Cell& c = cells[size_t(row) * size_t(columns) + size_t(column)];
        switch (c.kind) {
        case Integer:
            return qlonglong(c.i);
        case Float:
            return c.d;
        case Text:
            return QString::fromUtf8(bytes.data() + c.at, qsizetype(c.size));
        case Value:
            return values[qsizetype(c.at)];
        default:
            return {};
        }
    }
    Row row(int index, int keyCount) const {
        Row r;
        r.key.reserve(keyCount);
        for (int i = 0; i < keyCount; ++i)
            r.key.append(value(index, i));
        r.values.reserve(columns - keyCount);
        for (int i = keyCount; i < columns; ++i)
            r.values.append(value(index, i));
        return r;
    }
};

// One row of the read-ahead window: its place in a page, and its values once made.
struct Ahead {
    std::shared_ptr<const Page> page;
    int index = 0;
    std::optional<Row> row;
};

// One index range of "the rows after (or before) a key": a cached condition, and which of
// the key's values it binds.
struct SeekPart {
    int where;     // the condition's text, by its number in Impl::wheres
    int level;     // key columns compared for equality before the range
    bool bindsKey; // the range compares key[level] itself
};
} // namespace

struct Table::Impl {
    bool open = false;
    QString planKey; // what the statements below were built for
    QString table;   // as the database spells it
    QString pk;      // the integer row key
    QVector<Database::ColumnInfo> columns;
    QStringList fieldColumns; // per field
    QVector<FieldType> fieldTypes;
    QVector<bool> writable; // per field: stored by INSERT/UPDATE
    QStringList keyColumns; // order columns, then the row key
    QVector<bool> keyText;
    QVector<int> keyField; // field index of each key column, -1 if not a field
    QString selectSql;     // "SELECT <key cols>, <field cols> FROM t"
    QString ascOrder, descOrder;
    QString filterSql; // empty: no filter in force
    QVariantList filterValues;
    std::unique_ptr<FilterExpr> parsedFilter; // of Table::filter_, parsed when set

    // The statement texts of this plan, built once each: the conditions by number, the
    // seeks by their shape, and the whole statements.
    QStringList wheres;
    int pkWhere = -1; // "<row key> = ?"
    struct Shape {
        quint64 key;
        QVector<SeekPart> parts;
    };
    std::vector<Shape> shapes;
    struct Statement {
        int where;
        bool forward, filter;
        int limit;
        QString sql;
    };
    std::vector<Statement> statements;

    // rows read ahead around the current row, in order
    std::deque<Ahead> window;
    bool windowAtStart = false, windowAtEnd = false;
    int hint = 0; // index of the row last moved to

    void clearWindow() {
        window.clear();
        windowAtStart = windowAtEnd = false;
    }
    const Row& rowAt(int i) {
        Ahead& a = window[size_t(i)];
        if (!a.row) a.row = a.page->row(a.index, int(keyColumns.size()));
        return *a.row;
    }
    QVariant rowKeyAt(int i) const { // the row key: unique
        const Ahead& a = window[size_t(i)];
        return a.row ? a.row->key.last() : a.page->value(a.index, int(keyColumns.size()) - 1);
    }
    // Where a row is in the window: looked for first where the last move left off.
    int indexOf(const RowKey& key) {
        const int size = int(window.size());
        auto at = [&](int i) {
            return i >= 0 && i < size && rowKeyAt(i) == key.last() && rowAt(i).key == key;
        };
        for (int i : {hint, hint + 1, hint - 1})
            if (at(i)) return hint = i;
        for (int i = size - 1; i >= 0; --i)
            if (at(i)) return hint = i;
        return -1;
    }
    const Row& moveTo(int i) {
        hint = i;
        return rowAt(i);
    }
    int whereId(const QString& text) {
        // the conditions are few (their values are bound), so the list stays short
        int i = int(wheres.indexOf(text));
        if (i < 0) {
            wheres << text;
            i = int(wheres.size()) - 1;
        }
        return i;
    }
};

Table::Table(QString name) : DataSet(std::move(name)), d(std::make_unique<Impl>()) {}

Table::~Table() {
    // the dataset closes without events at program end
    d->clearWindow();
}

void Table::SetTableName(const QString& t) {
    if (t == tableName_) return;
    if (Active()) raise("Cannot perform this operation on an open dataset");
    tableName_ = t;
}

// --- resolving names ------------------------------------------------------------------------

static const Database::ColumnInfo* findColumn(const QVector<Database::ColumnInfo>& cols,
                                              const QString& name) {
    for (const auto& c : cols)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

static QStringList splitFieldList(const QString& list) {
    QStringList out;
    for (const QString& part : list.split(';', Qt::SkipEmptyParts)) {
        const QString f = part.trimmed();
        if (!f.isEmpty()) out << f;
    }
    return out;
}

QStringList Table::orderFields() const {
    if (d->open) {
        QStringList out = d->keyColumns;
        out.removeLast(); // the row key
        return out;
    }
    return splitFieldList(indexFieldNames_);
}

// --- opening ----------------------------------------------------------------------------------

static QStringList resolveOrder(Database& db, const QString& table, const QVector<Database::ColumnInfo>& cols,
                                const QString& indexName, const QString& indexFieldNames) {
    QStringList names;
    if (!indexName.isEmpty())
        names = db.indexFields(table, indexName);
    else
        names = splitFieldList(indexFieldNames);
    QStringList out;
    for (const QString& n : names) {
        const auto* c = findColumn(cols, n);
        if (!c)
            throw EngineError(QString("Field '%1' not found in table %2").arg(echoed(n), table),
                              ErrorKind::NoSuchField);
        if (!out.contains(c->name, Qt::CaseInsensitive)) out << c->name;
    }
    return out;
}

void Table::openCursor() {
    // a failure leaves the cursor as it was (an open table keeps its order and filter)
    if (tableName_.isEmpty()) raise("No table name is set");
    Database& db = *database();
    const Dialect& dl = db.dialect();
    // reopened as it was: the statements built last time still serve
    QString planKey = QString::number(quintptr(&db)) + '|' + QString::number(db.schemaGeneration()) + '|' +
                      tableName_ + '|' + indexName_ + '|' + indexFieldNames_ + '|' +
                      (filtered_ ? filter_ : QString()) + '|' + QString::number(fieldDefs().size());
    for (const FieldDef& f : fieldDefs())
        planKey += '|' + f.fieldName;
    if (!d->planKey.isEmpty() && d->planKey == planKey) {
        d->clearWindow();
        d->open = true;
        return;
    }
    const QVector<Database::ColumnInfo> cols = db.columnInfo(tableName_); // names a missing table
    const QString physical = db.physicalTableName(tableName_);
    const QString pk = db.primaryKey(tableName_);

    {
        // without declared field objects every column is a field, in table order
        QVector<FieldDef> defs;
        for (const auto& c : cols) {
            FieldDef f;
            f.name = name() + QString(c.name).remove(' ');
            f.fieldName = c.name;
            f.type = c.type;
            f.size = c.type == FieldType::String ? (c.size > 0 ? c.size : 20)
                                                 : (c.type == FieldType::Memo ? 1 : 0);
            defs << f;
        }
        defineFields(defs); // nothing when the layout declared the fields
    }

    Impl n;
    n.table = physical;
    n.pk = pk;
    n.columns = cols;
    for (const FieldDef& f : fieldDefs()) {
        const auto* c = findColumn(cols, f.fieldName);
        if (!c) raise(QString("Field '%1' not found").arg(f.fieldName), ErrorKind::NoSuchField);
        n.fieldColumns << c->name;
        n.fieldTypes << f.type;
        n.writable << (c->name.compare(pk, Qt::CaseInsensitive) != 0 && f.type != FieldType::AutoInc);
    }
    const QStringList order = resolveOrder(db, tableName_, cols, indexName_, indexFieldNames_);
    n.keyColumns = order;
    if (!n.keyColumns.contains(pk, Qt::CaseInsensitive))
        n.keyColumns << pk;
    else {
        // the row key must come last: the seeks rely on it being unique
        n.keyColumns.removeAll(pk);
        n.keyColumns << pk;
    }
    for (const QString& k : n.keyColumns) {
        const auto* c = findColumn(cols, k);
        n.keyText << (c && isText(c->type));
        n.keyField << int(n.fieldColumns.indexOf(k));
    }
    QStringList sel, asc, desc;
    for (int i = 0; i < n.keyColumns.size(); ++i) {
        const QString q = dl.quote(n.keyColumns[i]);
        sel << q;
        const QString expr = n.keyText[i] ? q + dl.collate() : q;
        asc << expr + " ASC" + dl.nullsFirst();
        desc << expr + " DESC" + dl.nullsLast();
    }
    for (const QString& f : n.fieldColumns)
        sel << dl.quote(f);
    n.selectSql = "SELECT " + sel.join(", ") + " FROM " + dl.quote(physical);
    n.ascOrder = " ORDER BY " + asc.join(", ");
    n.descOrder = " ORDER BY " + desc.join(", ");
    if (filtered_ && !filter_.trimmed().isEmpty()) {
        if (!d->parsedFilter) d->parsedFilter = FilterExpr::parse(filter_);
        n.filterSql = d->parsedFilter->toSql(
            [&](const QString& fname) {
                const auto* c = findColumn(cols, fname);
                if (!c) raise(QString("Field '%1' not found").arg(echoed(fname)), ErrorKind::NoSuchField);
                return FilterExpr::Column{dl.quote(c->name), c->type};
            },
            dl, n.filterValues);
    }
    n.parsedFilter = std::move(d->parsedFilter);
    n.pkWhere = n.whereId(dl.quote(pk) + " = ?");
    n.planKey = planKey;
    *d = std::move(n);
    d->open = true;
}

void Table::closeCursor() {
    d->open = false;
    d->clearWindow();
}

// --- reading ----------------------------------------------------------------------------------

// The text of "select ... where <filter> AND <condition> order by ... limit n", built once
// per plan for each condition, direction and limit.
static QString statementText(const Dialect& dl, Table::Impl& d, int where, bool forward, int limit,
                             bool filter) {
    for (const auto& s : d.statements)
        if (s.where == where && s.forward == forward && s.limit == limit && s.filter == filter) return s.sql;
    QStringList conds;
    if (filter) conds << d.filterSql;
    if (where >= 0) conds << d.wheres[where];
    QString sql = d.selectSql;
    if (!conds.isEmpty()) sql += " WHERE " + conds.join(" AND ");
    sql += forward ? d.ascOrder : d.descOrder;
    if (limit > 0) sql += dl.limit(limit);
    if (d.statements.size() >= 128) d.statements.clear(); // pages of many sizes: start afresh
    d.statements.push_back({where, forward, filter, limit, sql});
    return sql;
}

// Runs the statement with the condition's values bound and hands each row to sink.
template <class Sink>
static int runSelect(Database& db, Table::Impl& d, int where, const QVariantList& values, bool forward,
                     int limit, bool useFilter, Sink&& sink) {
    const bool filter = useFilter && !d.filterSql.isEmpty();
    const QString sql = statementText(db.dialect(), d, where, forward, limit, filter);
    int n = 0;
    db.run(sql, filter ? d.filterValues + values : values, [&](const Database::ResultRow& c) {
        sink(c);
        ++n;
    });
    return n;
}

// A result row as values: the key columns come first, then the fields.
static void appendRow(const Database::ResultRow& c, int k, int fieldCount, QVector<Row>& out) {
    Row r;
    r.key.reserve(k);
    for (int i = 0; i < k; ++i)
        r.key.append(c.value(i));
    r.values.reserve(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        r.values.append(c.value(k + i));
    out.append(std::move(r));
}

// The rows as values, appended to out.
static int selectRows(Database& db, Table::Impl& d, int fieldCount, int where, const QVariantList& values,
                      bool forward, int limit, QVector<Row>& out, bool useFilter = true) {
    const int k = d.keyColumns.size();
    return runSelect(db, d, where, values, forward, limit, useFilter,
                     [&](const Database::ResultRow& c) { appendRow(c, k, fieldCount, out); });
}

// The rows after (forward) or before key, as a sequence of index ranges in order.
// prefix: how many leading key columns take part; inclusive: the deepest compare admits equality.
// Which ranges these are depends only on the key's empty values, so each shape is built once.
static QVector<SeekPart> seekRanges(Table::Impl& d, const Dialect& dl, const RowKey& key, int prefix,
                                    bool forward, bool inclusive) {
    quint64 shape = quint64(prefix) | quint64(forward) << 8 | quint64(inclusive) << 9;
    const bool cached = prefix <= 48;
    if (cached) {
        for (int j = 0; j < prefix; ++j)
            if (key[j].isNull()) shape |= quint64(1) << (10 + j);
        for (const auto& s : d.shapes)
            if (s.key == shape) return s.parts;
    }
    QVector<SeekPart> out;
    auto col = [&](int i) {
        const QString q = dl.quote(d.keyColumns[i]);
        return d.keyText[i] ? q + dl.collate() : q;
    };
    auto bare = [&](int i) { return dl.quote(d.keyColumns[i]); };
    for (int level = prefix - 1; level >= 0; --level) {
        QStringList eq;
        for (int j = 0; j < level; ++j)
            eq << (key[j].isNull() ? bare(j) + " IS NULL" : col(j) + " = ?");
        const bool incl = inclusive && level == prefix - 1;
        const bool null = key[level].isNull();
        QVector<QPair<QString, bool>> ranges; // condition, binds the key value
        if (forward) {
            if (null)
                ranges << qMakePair(incl ? QString() : bare(level) + " IS NOT NULL", false);
            else
                ranges << qMakePair(col(level) + (incl ? " >= ?" : " > ?"), true);
        } else {
            if (null) {
                if (incl) ranges << qMakePair(bare(level) + " IS NULL", false);
            } else {
                ranges << qMakePair(col(level) + (incl ? " <= ?" : " < ?"), true);
                ranges << qMakePair(bare(level) + " IS NULL", false); // empty sorts first
            }
        }
        for (const auto& r : ranges) {
            QStringList parts = eq;
            if (!r.first.isEmpty()) parts << r.first;
            out << SeekPart{parts.isEmpty() ? -1 : d.whereId(parts.join(" AND ")), level, r.second};
        }
    }
    if (cached) d.shapes.push_back({shape, out});
    return out;
}

// Up to count rows of the seek, each handed to sink.
template <class Sink>
static int seek(Database& db, Table::Impl& d, const RowKey& key, int prefix, bool forward, bool inclusive,
                int count, Sink&& sink) {
    int n = 0;
    QVariantList values;
    for (const SeekPart& s : seekRanges(d, db.dialect(), key, prefix, forward, inclusive)) {
        if (n >= count) break;
        values.clear();
        for (int j = 0; j < s.level; ++j)
            if (!key[j].isNull()) values << key[j];
        if (s.bindsKey) values << key[s.level];
        n += runSelect(db, d, s.where, values, forward, count - n, true, sink);
    }
    return n;
}

static QVector<Row> seekRows(Database& db, Table::Impl& d, int fieldCount, const RowKey& key, int prefix,
                             bool forward, bool inclusive, int count) {
    QVector<Row> out;
    const int k = d.keyColumns.size();
    seek(db, d, key, prefix, forward, inclusive, count,
         [&](const Database::ResultRow& c) { appendRow(c, k, fieldCount, out); });
    return out;
}

// A page of rows read ahead: from the start or the end (key empty), or after or before key.
static std::shared_ptr<const Page> readPage(Database& db, Table::Impl& d, const RowKey& key, bool forward) {
    auto page = std::make_shared<Page>();
    auto sink = [&](const Database::ResultRow& c) { page->append(c, readAhead); };
    if (key.isEmpty())
        runSelect(db, d, -1, {}, forward, readAhead, true, sink);
    else
        seek(db, d, key, int(key.size()), forward, false, readAhead, sink);
    return page;
}

bool Table::readFirst(Row& row) {
    const auto page = readPage(*database(), *d, {}, true);
    d->clearWindow();
    if (page->rows == 0) return false;
    for (int i = 0; i < page->rows; ++i)
        d->window.push_back({page, i, {}});
    d->windowAtStart = true;
    d->windowAtEnd = page->rows < readAhead;
    row = d->moveTo(0);
    return true;
}

bool Table::readLast(Row& row) {
    const auto page = readPage(*database(), *d, {}, false);
    d->clearWindow();
    if (page->rows == 0) return false;
    for (int i = 0; i < page->rows; ++i) // nearest the end first
        d->window.push_front({page, i, {}});
    d->windowAtEnd = true;
    d->windowAtStart = page->rows < readAhead;
    row = d->moveTo(int(d->window.size()) - 1);
    return true;
}

bool Table::readNext(const RowKey& from, Row& row) {
    if (from.size() != d->keyColumns.size()) return false;
    const int i = d->indexOf(from);
    if (i >= 0 && i + 1 < int(d->window.size())) {
        row = d->moveTo(i + 1);
        return true;
    }
    if (i >= 0 && d->windowAtEnd) return false;
    const auto page = readPage(*database(), *d, from, true);
    if (i < 0) {
        d->clearWindow(); // a new window, starting after the row we come from
    }
    for (int r = 0; r < page->rows; ++r)
        d->window.push_back({page, r, {}});
    d->windowAtEnd = page->rows < readAhead;
    while (d->window.size() > size_t(4 * readAhead)) { // keep it small: drop rows far behind
        d->window.pop_front();
        d->windowAtStart = false;
    }
    if (page->rows == 0) return false;
    row = d->moveTo(int(d->window.size()) - page->rows);
    return true;
}

bool Table::readPrior(const RowKey& from, Row& row) {
    if (from.size() != d->keyColumns.size()) return false;
    const int i = d->indexOf(from);
    if (i > 0) {
        row = d->moveTo(i - 1);
        return true;
    }
    if (i == 0 && d->windowAtStart) return false;
    const auto page = readPage(*database(), *d, from, false);
    if (i < 0) d->clearWindow();
    for (int r = 0; r < page->rows; ++r) // nearest first
        d->window.push_front({page, r, {}});
    d->windowAtStart = page->rows < readAhead;
    while (d->window.size() > size_t(4 * readAhead)) {
        d->window.pop_back();
        d->windowAtEnd = false;
    }
    if (page->rows == 0) return false;
    row = d->moveTo(page->rows - 1);
    return true;
}

bool Table::readRow(const RowKey& key, Row& row) {
    // the same row re-read as it is stored now, found by its row key
    if (key.isEmpty()) return false;
    QVector<Row> rows;
    Database& db = *database();
    selectRows(db, *d, fields().size(), d->pkWhere, {key.last()}, true, 0, rows, false);
    if (rows.isEmpty()) return false;
    row = rows.first();
    // refresh the read-ahead copy of the row
    const int i = d->indexOf(key);
    if (i >= 0) {
        if (row.key == key)
            d->window[size_t(i)].row = row;
        else
            d->clearWindow();
    }
    return true;
}

bool Table::readNearest(const RowKey& key, Row& row) {
    d->clearWindow();
    if (key.size() != d->keyColumns.size()) return false;
    QVector<Row> rows;
    Database& db = *database();
    selectRows(db, *d, fields().size(), d->pkWhere, {key.last()}, true, 0, rows);
    if (!rows.isEmpty()) {
        row = rows.first();
        return true;
    }
    return readNext(key, row) || readPrior(key, row);
}

void Table::rowsChanged() { d->clearWindow(); }

// --- writing ----------------------------------------------------------------------------------

// "c IS NULL" or "c = ?": a compare with a value as read, NULL-safe on every engine.
static void addCompare(const Dialect& dl, const QString& column, const QVariant& value, QStringList& where,
                       QVariantList& values) {
    if (value.isNull())
        where << dl.quote(column) + " IS NULL";
    else {
        where << dl.quote(column) + " = ?";
        values << value;
    }
}

static void conflict(Database& db, Table::Impl& d, const QVariant& pk) {
    bool exists = false;
    db.run("SELECT 1 FROM " + db.dialect().quote(d.table) + " WHERE " + db.dialect().quote(d.pk) + " = ?",
           {pk}, [&](const Database::ResultRow&) { exists = true; });
    if (exists)
        throw EngineError("The row was changed by another user since it was read. "
                          "Cancel, then make the change again on the row as it is now.",
                          ErrorKind::Conflict);
    throw EngineError("The row was deleted by another user since it was read.", ErrorKind::Conflict);
}

RowKey Table::insertRow(const QVector<QVariant>& values) {
    Database& db = *database();
    const Dialect& dl = db.dialect();
    QStringList cols, marks;
    QVariantList binds;
    for (int i = 0; i < d->fieldColumns.size(); ++i) {
        if (!d->writable[i]) continue;
        cols << dl.quote(d->fieldColumns[i]);
        marks << "?";
        binds << values.value(i);
    }
    QString sql = "INSERT INTO " + dl.quote(d->table);
    sql += cols.isEmpty() ? QString(" DEFAULT VALUES")
                          : " (" + cols.join(", ") + ") VALUES (" + marks.join(", ") + ")";
    if (dl.insertReturning()) sql += " RETURNING " + dl.quote(d->pk);
    Database::WriteScope scope(db);
    QVariant id;
    if (dl.insertReturning())
        db.run(sql, binds, [&](const Database::ResultRow& c) { id = c.value(0); });
    else
        db.run(sql, binds, {}, &id);
    scope.commit();
    d->clearWindow();
    RowKey key;
    for (int i = 0; i + 1 < d->keyColumns.size(); ++i)
        key << (d->keyField[i] >= 0 ? values.value(d->keyField[i]) : QVariant());
    key << id;
    return key;
}

void Table::updateRow(const RowKey& key, const QVector<QVariant>& original, const QVector<QVariant>& values) {
    Database& db = *database();
    const Dialect& dl = db.dialect();
    QStringList sets, where;
    QVariantList binds, whereValues;
    for (int i = 0; i < d->fieldColumns.size(); ++i) {
        if (!d->writable[i]) continue;
        sets << dl.quote(d->fieldColumns[i]) + " = ?";
        binds << values.value(i);
    }
    d->clearWindow();
    if (sets.isEmpty()) return;
    where << dl.quote(d->pk) + " = ?";
    whereValues << key.last();
    // stored only while the row is still as it was read
    for (int i = 0; i < d->fieldColumns.size(); ++i)
        if (d->fieldColumns[i].compare(d->pk, Qt::CaseInsensitive) != 0)
            addCompare(dl, d->fieldColumns[i], original.value(i), where, whereValues);
    const QString sql =
        "UPDATE " + dl.quote(d->table) + " SET " + sets.join(", ") + " WHERE " + where.join(" AND ");
    Database::WriteScope scope(db);
    const int affected = db.run(sql, binds + whereValues);
    if (affected == 0) conflict(db, *d, key.last());
    scope.commit();
}

void Table::deleteRow(const RowKey& key, const QVector<QVariant>&) {
    // The row the user sees goes by its key, whatever was stored in it since it was read:
    // a board that shows an older copy still deletes that employee.
    Database& db = *database();
    const Dialect& dl = db.dialect();
    d->clearWindow();
    Database::WriteScope scope(db);
    const int affected =
        db.run("DELETE FROM " + dl.quote(d->table) + " WHERE " + dl.quote(d->pk) + " = ?", {key.last()});
    if (affected == 0)
        throw EngineError("The row no longer exists: it was deleted since it was read. "
                          "Refresh to see the rows as they are now.",
                          ErrorKind::Conflict);
    scope.commit();
}

RowKey Table::rowKeyOf(const RowKey& old, const QVector<QVariant>& values) const {
    RowKey key = old;
    for (int i = 0; i + 1 < d->keyColumns.size() && i < key.size(); ++i)
        if (d->keyField[i] >= 0) key[i] = values.value(d->keyField[i]);
    return key;
}

// --- order, filter, searches ------------------------------------------------------------------

void Table::reorder() {
    // the current row stays current under the new order
    const RowKey current = CurrentKey();
    openCursor();
    Row r;
    bool ok = !current.isEmpty() && readRow(RowKey{current.last()}, r);
    if (!ok) ok = readFirst(r);
    moveTo(ok ? &r : nullptr, !ok, !ok, false);
    notifyDataSetChanged();
}

void Table::SetIndexName(const QString& index) {
    if (!Active()) {
        indexName_ = index;
        indexFieldNames_.clear();
        return;
    }
    CheckBrowseMode();
    Database& db = *database();
    resolveOrder(db, tableName_, db.columnInfo(tableName_), index, {}); // an unknown index changes nothing
    indexName_ = index;
    indexFieldNames_.clear();
    reorder();
}

void Table::SetIndexFieldNames(const QString& fieldsList) {
    if (!Active()) {
        indexFieldNames_ = fieldsList;
        indexName_.clear();
        return;
    }
    CheckBrowseMode();
    Database& db = *database();
    resolveOrder(db, tableName_, db.columnInfo(tableName_), {}, fieldsList);
    indexFieldNames_ = fieldsList;
    indexName_.clear();
    reorder();
}

void Table::SetFilter(const QString& filter) {
    std::unique_ptr<FilterExpr> parsed;
    if (!filter.trimmed().isEmpty()) {
        try {
            parsed = FilterExpr::parse(filter);
        } catch (const DatabaseError& e) {
            raise(e.message(), e.kind());
        }
    }
    if (!Active()) {
        filter_ = filter;
        d->parsedFilter = std::move(parsed);
        return;
    }
    CheckBrowseMode();
    QString oldText = filter;
    std::swap(oldText, filter_);
    std::swap(parsed, d->parsedFilter);
    try {
        openCursor();
    } catch (...) {
        filter_ = oldText; // a filter naming a missing field changes nothing
        d->parsedFilter = std::move(parsed);
        throw;
    }
    First();
    notifyDataSetChanged(); // other rows: the grids read them afresh
}

void Table::SetFiltered(bool on) {
    if (!Active()) {
        filtered_ = on;
        return;
    }
    CheckBrowseMode();
    const bool old = filtered_;
    filtered_ = on;
    try {
        if (!d->parsedFilter && !filter_.trimmed().isEmpty()) d->parsedFilter = FilterExpr::parse(filter_);
        openCursor();
    } catch (const DatabaseError& e) {
        filtered_ = old;
        if (dynamic_cast<const EngineError*>(&e) || e.fromDataSet()) throw;
        raise(e.message(), e.kind());
    }
    First();
    notifyDataSetChanged();
}

// The value a search text stands for in a key column: text cut to the field's size.
static QVariant keyValue(const Table& t, const Table::Impl& d, int keyIndex, const QVariant& v) {
    const int fi = d.keyField[keyIndex];
    if (fi < 0) return v.metaType().id() == QMetaType::QString && v.toString().isEmpty() ? QVariant() : v;
    const Field* f = t.fields()[fi];
    if (v.isNull()) return {};
    if (v.metaType().id() == QMetaType::QString) return f->convertText(v.toString());
    if (f->isText()) return f->convertText(v.toString());
    return v;
}

void Table::FindNearest(const QVariantList& keyValues) {
    requireActive();
    CheckBrowseMode();
    // the order fields, or the row key itself when the table has no order
    const int orderCount = std::max<int>(int(d->keyColumns.size()) - 1, 1);
    const int p = std::min<int>(int(keyValues.size()), orderCount);
    RowKey key;
    bool allEmpty = true;
    for (int i = 0; i < p; ++i) {
        key << keyValue(*this, *d, i, keyValues[i]);
        if (!key.back().isNull()) allEmpty = false;
    }
    Row r;
    bool ok = false;
    if (p == 0 || allEmpty) {
        ok = readFirst(r); // nothing sorts before an empty key
    } else {
        const QVector<Row> rows = seekRows(*database(), *d, fields().size(), key, p, true, true, 1);
        ok = !rows.isEmpty();
        if (ok) {
            r = rows.first();
            d->clearWindow();
        } else {
            ok = readLast(r);
        }
    }
    moveTo(ok ? &r : nullptr, !ok, !ok);
}

bool Table::FindKey(const QVariantList& keyValues) {
    requireActive();
    CheckBrowseMode();
    const int p = std::min<int>(keyValues.size(), d->keyColumns.size());
    if (p == 0) return false;
    Database& db = *database();
    QStringList where;
    QVariantList values;
    for (int i = 0; i < p; ++i) {
        const QVariant v = keyValue(*this, *d, i, keyValues[i]);
        addCompare(db.dialect(), d->keyColumns[i], v, where, values);
    }
    QVector<Row> rows;
    selectRows(db, *d, fields().size(), d->whereId(where.join(" AND ")), values, true, 1, rows);
    if (rows.isEmpty()) return false;
    d->clearWindow();
    moveTo(&rows.first(), false, false);
    return true;
}

bool Table::Locate(const QString& fieldName, const QVariant& value) {
    requireActive();
    CheckBrowseMode();
    Field* f = FieldByName(fieldName);
    Database& db = *database();
    const Dialect& dl = db.dialect();
    QVariant v = value;
    if (!v.isNull() && !f->isText() && v.metaType().id() == QMetaType::QString)
        v = f->convertText(v.toString());
    const QString col = dl.quote(d->fieldColumns[f->index()]);
    QString cond;
    QVariantList values;
    if (v.isNull() || (f->isText() && v.toString().isEmpty()))
        cond = f->isText() ? QString("(%1 IS NULL OR %1 = '')").arg(col) : col + " IS NULL";
    else {
        cond = (f->isText() ? col + dl.collate() : col) + " = ?";
        values << (f->isText() ? QVariant(v.toString()) : v);
    }
    QVector<Row> rows;
    selectRows(db, *d, fields().size(), d->whereId(cond), values, true, 1, rows);
    if (rows.isEmpty()) return false;
    d->clearWindow();
    moveTo(&rows.first(), false, false);
    return true;
}

int Table::RecordCount() {
    requireActive();
    Database& db = *database();
    QString sql = "SELECT COUNT(*) FROM " + db.dialect().quote(d->table);
    if (!d->filterSql.isEmpty()) sql += " WHERE " + d->filterSql;
    int n = 0;
    db.run(sql, d->filterValues, [&](const Database::ResultRow& c) { n = c.value(0).toInt(); });
    return n;
}

QVector<Row> Table::FetchRows(const RowKey& key, bool forward, int count, bool inclusive) {
    requireActive();
    QVector<Row> out;
    if (count <= 0) return out;
    Database& db = *database();
    if (key.isEmpty()) {
        selectRows(db, *d, fields().size(), -1, {}, forward, count, out);
        return out;
    }
    if (key.size() != d->keyColumns.size()) return out;
    return seekRows(db, *d, fields().size(), key, key.size(), forward, inclusive, count);
}

bool Table::SeekRows(const QString& fieldName, const QVariant& value, int count, QVector<Row>& out) {
    requireActive();
    if (d->keyColumns.size() < 2 || d->keyColumns.first().compare(fieldName, Qt::CaseInsensitive) != 0)
        return false;
    if (count <= 0) return true;
    Database& db = *database();
    const QVariant v = keyValue(*this, *d, 0, value);
    if (v.isNull())
        selectRows(db, *d, fields().size(), -1, {}, true, count, out);
    else
        out = seekRows(db, *d, fields().size(), RowKey{v}, 1, true, true, count);
    return true;
}

} // namespace data
